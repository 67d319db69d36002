// POSIX: the system's folders, taken from the environment where Windows has them.
#include "platform/folders.h"

#include <climits>
#include <cstdlib>
#include <unistd.h>

#include "platform/source_path.h"
#include "platform/trimmed.h"

namespace platform {
namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

std::string NoTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string ApplicationFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0)
        return ".";
    std::string exe(buffer, static_cast<size_t>(n));
    std::string folder = SourceFolderPart(exe);
    return folder.size() > 1 ? folder.substr(0, folder.size() - 1) : folder;
}

std::string TempFolder() {
    std::string temp = Trimmed(Environment("TMPDIR"));
    if (temp.empty())
        temp = "/tmp";
    return NoTrailingSlash(temp);
}

const char* TempFolderVariable() {
    return "TMPDIR";
}

std::string WindowsFolder() {
    return NoTrailingSlash(Trimmed(Environment("VELASET_WINDOWS_DIR")));
}

std::string SystemFolder() {
    std::string folder = Trimmed(Environment("VELASET_SYSTEM_DIR"));
    if (folder.empty())
        folder = JoinSourcePath(ApplicationFolder(), "win32");
    return NoTrailingSlash(folder) + "/";
}

} // namespace platform
