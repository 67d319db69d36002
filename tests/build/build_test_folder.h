// A scratch folder for one test, removed with its contents afterwards, and helpers to
// write and read whole files in it.
#ifndef VELASET_TESTS_BUILD_BUILD_TEST_FOLDER_H
#define VELASET_TESTS_BUILD_BUILD_TEST_FOLDER_H

#include <cstdio>
#include <string>

#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/source_path.h"
#include "platform/work_folder.h"

namespace velaset {

class TestFolder {
  public:
    TestFolder() { platform::MakeUniqueFolder(platform::TempFolder(), "vt", &path_); }
    ~TestFolder() { platform::RemoveFolderTree(path_); }
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return platform::JoinSourcePath(path_, name); }

  private:
    std::string path_;
};

inline bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = platform::OpenFile(path, "wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

inline std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    std::FILE* file = platform::OpenFile(path, "rb");
    if (file == nullptr)
        return bytes;
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.append(buffer, got);
    std::fclose(file);
    return bytes;
}

// A stand-in for the installer stub: "MZ" then filler, exactly size bytes.
inline std::string FakeStubImage(std::size_t size) {
    std::string image(size, '\0');
    image[0] = 'M';
    image[1] = 'Z';
    for (std::size_t i = 2; i < size; ++i)
        image[i] = static_cast<char>(i * 7);
    return image;
}

} // namespace velaset

#endif
