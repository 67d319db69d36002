// Win32: source paths with "\" as separator.
#include "platform/source_path.h"

#include <windows.h>

#include <cctype>

#include "platform/win32/wide_text.h"

namespace platform {

char SourceSeparator() {
    return '\\';
}

std::string SourceFileName(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SourceFolderPart(const std::string& path) {
    size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string JoinSourcePath(const std::string& folder, const std::string& name) {
    if (!folder.empty() && folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

std::string AbsoluteSourcePath(const std::string& path) {
    std::wstring wide = win32::Widen(path);
    wchar_t buffer[MAX_PATH * 4];
    DWORD n = GetFullPathNameW(wide.c_str(), MAX_PATH * 4, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH * 4)
        return path;
    return win32::Narrow(std::wstring(buffer, n));
}

std::string WithoutTrailingSeparator(const std::string& path) {
    if (!path.empty() && path.back() == '\\')
        return path.substr(0, path.size() - 1);
    return path;
}

bool PathBelow(const std::string& folder, const std::string& path, std::string* relative) {
    if (folder.empty() || folder.back() != '\\' || path.size() <= folder.size())
        return false;
    for (size_t i = 0; i < folder.size(); ++i) {
        unsigned char a = static_cast<unsigned char>(path[i]);
        unsigned char b = static_cast<unsigned char>(folder[i]);
        if (a != b && !(a < 0x80 && b < 0x80 && std::tolower(a) == std::tolower(b)))
            return false;
    }
    *relative = path.substr(folder.size());
    return true;
}

} // namespace platform
