// Win32: profile (INI) files through GetPrivateProfileStringA / WritePrivateProfileStringA.
#include "platform/profile_file.h"

#include <vector>
#include <windows.h>

#include "platform/win32/wide_text.h"

namespace platform {

std::string ReadProfileValue(const std::string& path, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             std::size_t bufferSize) {
    std::string ansiPath;
    if (bufferSize == 0)
        return std::string();
    std::vector<char> buffer(bufferSize, ' ');
    if (!win32::ToAnsi(path, &ansiPath)) {
        std::string cut = defaultValue.substr(0, bufferSize - 1);
        return cut;
    }
    DWORD n =
        GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(),
                                 static_cast<DWORD>(bufferSize), ansiPath.c_str());
    return std::string(buffer.data(), n);
}

std::string ReadProfileKeyNames(const std::string& path, const std::string& section,
                                std::size_t bufferSize) {
    std::string ansiPath;
    if (bufferSize == 0 || !win32::ToAnsi(path, &ansiPath))
        return std::string();
    std::vector<char> buffer(bufferSize, ' ');
    DWORD n = GetPrivateProfileStringA(section.c_str(), nullptr, "", buffer.data(),
                                       static_cast<DWORD>(bufferSize), ansiPath.c_str());
    return std::string(buffer.data(), n);
}

Status WriteProfileValue(const std::string& path, const std::string& section,
                         const std::string& key, const std::string& value) {
    std::string ansiPath;
    if (!win32::ToAnsi(path, &ansiPath))
        return Status::Failed("il percorso non può essere scritto in Windows-1252",
                              ErrorKind::Refused, Operation::Create, path);
    if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), ansiPath.c_str()))
        return Status::LastSystemError(Operation::Create, path);
    return Status::Ok();
}

Status DeleteProfileSection(const std::string& path, const std::string& section) {
    std::string ansiPath;
    if (!win32::ToAnsi(path, &ansiPath))
        return Status::Failed("il percorso non può essere scritto in Windows-1252",
                              ErrorKind::Refused, Operation::Create, path);
    if (GetFileAttributesA(ansiPath.c_str()) == INVALID_FILE_ATTRIBUTES)
        return Status::Ok();
    if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, ansiPath.c_str()))
        return Status::LastSystemError(Operation::Create, path);
    return Status::Ok();
}

} // namespace platform
