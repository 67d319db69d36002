// A private folder for the fuzz targets that work on files: made once per process,
// with a few source files in it. While an InFixture object lives it is the current
// directory, so that the paths in an input can be short and relative.
#ifndef VELASET_TESTS_FUZZ_FIXTURE_FOLDER_H
#define VELASET_TESTS_FUZZ_FIXTURE_FOLDER_H

#include <string>

namespace fuzz {

// The folder (absolute, without a trailing "/"); made and entered at the first call.
// It holds app.exe, "Guida lunga.hlp", "Documento largo.txt", "Documento lungo.txt",
// "Però.txt", readme.txt, "sub dir/lib.dll" and the empty folder out/.
const std::string& FixtureFolder();

// Enters the fixture folder for the life of the object and goes back afterwards.
class InFixture {
  public:
    InFixture();
    ~InFixture();
    InFixture(const InFixture&) = delete;
    InFixture& operator=(const InFixture&) = delete;

  private:
    int previous_;
};

// Writes bytes to a file of the fixture folder, replacing it.
void WriteFixtureFile(const std::string& name, const void* data, size_t size);

} // namespace fuzz

#endif
