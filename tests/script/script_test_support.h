// Shared by the setup-script tests: a private folder with real files, so that short
// names come from the platform, and the golden files of tests/data/script.
#ifndef VELASET_TESTS_SCRIPT_SCRIPT_TEST_SUPPORT_H
#define VELASET_TESTS_SCRIPT_SCRIPT_TEST_SUPPORT_H

#include <string>
#include <vector>

#include "builder/project/project.h"

namespace velaset {
namespace testing {

// A new empty folder under the system's temporary folder, removed with its contents.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return path_; }
    // Path of `relative` ("a/b.txt" style, separators converted) below the folder.
    std::string PathOf(const std::string& relative) const;
    // Makes the file (and its folders) with the given bytes; returns its full path.
    std::string MakeFile(const std::string& relative, const std::string& bytes = "x");

  private:
    std::string path_;
};

// The bytes of a file; empty when it cannot be read.
std::string ReadBytes(const std::string& path);

// The bytes of tests/data/script/NAME.
std::string Golden(const std::string& name);

// The worked-example project of the setup script, its three files made in `folder`.
Project WorkedExample(TempFolder& folder);

// The platform's short name of a file (the name under which it is packed).
std::string SystemShortName(const std::string& path);

// `text` with every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

} // namespace testing
} // namespace velaset

#endif
