// POSIX implementation of platform/work_folder.h.
#include "platform/work_folder.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/source_path.h"

namespace platform {

Status MakeUniqueFolder(const std::string& parent, const std::string& prefix, std::string* made) {
    std::string pattern = JoinSourcePath(parent, prefix + "XXXXXX");
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr)
        return Status::LastSystemError(Operation::Create, pattern);
    *made = buffer.data();
    return Status::Ok();
}

Status ListFolder(const std::string& folder, std::vector<std::string>* names) {
    names->clear();
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr)
        return Status::LastSystemError(Operation::Read, folder);
    while (struct dirent* entry = readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names->push_back(entry->d_name);
    }
    closedir(dir);
    std::sort(names->begin(), names->end());
    return Status::Ok();
}

Status LinkFile(const std::string& target, const std::string& linkPath) {
    // A hard link costs no inode of its own; across file systems a symbolic link does.
    if (link(target.c_str(), linkPath.c_str()) == 0)
        return Status::Ok();
    if (symlink(target.c_str(), linkPath.c_str()) != 0)
        return Status::LastSystemError(Operation::Create, linkPath);
    return Status::Ok();
}

Status RemoveFolderTree(const std::string& folder) {
    std::vector<std::string> names;
    Status listed = ListFolder(folder, &names);
    if (!listed)
        return listed.kind == ErrorKind::NotFound ? Status::Ok() : listed;
    for (const std::string& name : names) {
        std::string path = JoinSourcePath(folder, name);
        struct stat info;
        if (lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
            Status removed = RemoveFolderTree(path);
            if (!removed)
                return removed;
        } else if (unlink(path.c_str()) != 0 && errno != ENOENT) {
            return Status::LastSystemError(Operation::Delete, path);
        }
    }
    if (rmdir(folder.c_str()) != 0 && errno != ENOENT)
        return Status::LastSystemError(Operation::Delete, folder);
    return Status::Ok();
}

} // namespace platform
