// Win32 implementation of platform/work_folder.h.
#include "platform/work_folder.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/source_path.h"

namespace platform {

Status MakeUniqueFolder(const std::string& parent, const std::string& prefix, std::string* made) {
    // The process id, the time and a counter make six hexadecimal digits;
    // CreateDirectoryA refuses a name that exists, so a folder of another build is never
    // taken over.
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char unique[16];
        unsigned long mixed = GetCurrentProcessId() * 40503ul + GetTickCount() + ++counter * 7919ul;
        std::snprintf(unique, sizeof unique, "%06lx", mixed & 0xFFFFFFul);
        std::string path = JoinSourcePath(parent, prefix + unique);
        if (CreateDirectoryA(path.c_str(), NULL)) {
            *made = path;
            return Status::Ok();
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS)
            return Status::LastSystemError(Operation::Create, path);
    }
    return Status::SystemError(ERROR_ALREADY_EXISTS, Operation::Create,
                               JoinSourcePath(parent, prefix));
}

Status ListFolder(const std::string& folder, std::vector<std::string>* names) {
    names->clear();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinSourcePath(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return Status::LastSystemError(Operation::Read, folder);
    do {
        std::string name = found.cFileName;
        if (name != "." && name != "..")
            names->push_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    std::sort(names->begin(), names->end());
    return Status::Ok();
}

Status LinkFile(const std::string& target, const std::string& linkPath) {
    if (!CreateHardLinkA(linkPath.c_str(), target.c_str(), NULL))
        return Status::LastSystemError(Operation::Create, linkPath);
    return Status::Ok();
}

Status RemoveFolderTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(JoinSourcePath(folder, "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND)
            return Status::Ok();
        return Status::SystemError(static_cast<int>(error), Operation::Read, folder);
    }
    std::vector<std::string> files;
    std::vector<std::string> folders;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            folders.push_back(JoinSourcePath(folder, name));
        else
            files.push_back(JoinSourcePath(folder, name));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& path : folders) {
        Status removed = RemoveFolderTree(path);
        if (!removed)
            return removed;
    }
    for (const std::string& path : files) {
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(path.c_str()))
            return Status::LastSystemError(Operation::Delete, path);
    }
    if (!RemoveDirectoryA(folder.c_str()))
        return Status::LastSystemError(Operation::Delete, folder);
    return Status::Ok();
}

} // namespace platform
