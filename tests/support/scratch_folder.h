// A fresh folder in the system's temporary folder for one test, removed afterwards.
// Paths are source paths of the platform under test (a Windows path under Wine).
#ifndef VELASET_TESTS_SUPPORT_SCRATCH_FOLDER_H
#define VELASET_TESTS_SUPPORT_SCRATCH_FOLDER_H

#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/process.h"
#include "platform/source_path.h"
#include "platform/status.h"

namespace velaset_test {

class ScratchFolder {
  public:
    // A fresh folder named "T" and seven hex digits: a valid 8.3 name is its own short
    // name, whereas a long name's short form depends on its siblings in the temporary
    // folder, which other test programs running at the same time keep changing.
    ScratchFolder() {
        static unsigned counter = 0;
        for (;;) {
            char name[16];
            std::snprintf(name, sizeof name, "T%07X",
                          (static_cast<unsigned>(platform::CurrentProcessId()) * 251u + ++counter) &
                              0xFFFFFFFu);
            path_ = platform::JoinSourcePath(platform::TempFolder(), name);
            if (std::filesystem::create_directory(std::filesystem::u8path(path_)))
                break;
        }
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(std::filesystem::u8path(path_), ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    // The path of relative ("a/b.txt", "/" as separator) below the folder.
    std::string Path(const std::string& relative) const {
        std::string native = relative;
        for (char& c : native) {
            if (c == '/')
                c = platform::SourceSeparator();
        }
        return platform::JoinSourcePath(path_, native);
    }

    // Creates a sub-folder (and the folders above it) and returns its path.
    std::string MakeFolder(const std::string& relative) const {
        std::string folder = Path(relative);
        std::filesystem::create_directories(std::filesystem::u8path(folder));
        return folder;
    }

    // Writes bytes into the file relative (its folders made first) and returns its path.
    std::string WriteFile(const std::string& relative, const std::string& bytes = "x") const {
        std::string file = Path(relative);
        std::filesystem::create_directories(std::filesystem::u8path(file).parent_path());
        WriteBytes(file, bytes);
        return file;
    }

    // Writes bytes as the whole file; true when every byte reached it.
    static bool WriteBytes(const std::string& file, const std::string& bytes) {
        std::FILE* f = platform::OpenFile(file, "wb");
        if (f == nullptr)
            return false;
        bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return std::fclose(f) == 0 && written;
    }

    // The bytes of a file; "<missing>" when it cannot be opened.
    static std::string ReadFile(const std::string& file) {
        std::FILE* f = platform::OpenFile(file, "rb");
        if (f == nullptr)
            return "<missing>";
        std::string data;
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
            data.append(buffer, n);
        std::fclose(f);
        return data;
    }

  private:
    std::string path_;
};

// Text with LF line ends turned into the CR LF of the files under test.
inline std::string Crlf(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// The text without its empty lines (Wine drops them when it rewrites a profile file).
inline std::string WithoutBlankLines(const std::string& text) {
    std::string out, line;
    for (char c : text) {
        line += c;
        if (c == '\n') {
            if (line != "\r\n" && line != "\n")
                out += line;
            line.clear();
        }
    }
    return out + line;
}

} // namespace velaset_test

#endif
