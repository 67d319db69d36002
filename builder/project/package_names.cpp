// Package names and the clash check by them.
#include "builder/project/package_names.h"

#include <cctype>
#include <unordered_set>

#include "platform/short_path.h"
#include "platform/source_path.h"

namespace velaset {

namespace {

std::string Upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

} // namespace

std::vector<std::string> PackageShortNames(const std::vector<FileEntry>& files,
                                           platform::ShortPathCache& shortPaths) {
    std::vector<std::string> systemNames;
    systemNames.reserve(files.size());
    for (const FileEntry& file : files)
        systemNames.push_back(platform::SourceFileName(shortPaths.ShortPath(file.path)));
    return PackageNames(files, systemNames);
}

std::vector<std::string> PackageNames(const std::vector<FileEntry>& files,
                                      const std::vector<std::string>& systemNames) {
    std::vector<std::string> names(files.size());
    std::unordered_set<std::string> taken;
    for (size_t i = 0; i < files.size(); ++i) {
        if (KeepsSystemName(systemNames.at(i))) {
            names[i] = systemNames[i];
            const std::string key = Upper(names[i]);
            taken.insert(key);
        }
    }
    // The system's names first, so that a made name never takes one of them, whatever
    // the order of the list.
    for (size_t i = 0; i < files.size(); ++i) {
        if (KeepsSystemName(systemNames[i]))
            continue;
        const std::string longName = platform::SourceFileName(files[i].path);
        for (size_t n = 1;; ++n) {
            names[i] = platform::NumberedShortName(longName, n);
            const std::string key = Upper(names[i]);
            if (taken.insert(key).second)
                break;
        }
    }
    return names;
}

ShortNameIndex::Clash ShortNameIndex::Find(const std::string& path,
                                           const std::string& systemName) const {
    const std::string longName = Upper(platform::SourceFileName(path));
    // A kept name meets the same kept name and the same long name made; a made one
    // meets the same long name of any file.
    std::string key = "l" + longName;
    if (KeepsSystemName(systemName)) {
        const std::string name = Upper(systemName);
        const auto found = names_.find("s" + name);
        if (found != names_.end())
            return {found->second, name};
        key[0] = 'm';
    }
    const auto found = names_.find(key);
    if (found == names_.end())
        return {};
    // The two share the long name: the name that either would make alone.
    return {found->second, Upper(platform::NumberedShortName(platform::SourceFileName(path), 1))};
}

void ShortNameIndex::Add(const std::string& path, const std::string& systemName) {
    const std::string longName = Upper(platform::SourceFileName(path));
    names_.emplace("l" + longName, path);
    names_.emplace(KeepsSystemName(systemName) ? "s" + Upper(systemName) : "m" + longName, path);
}

} // namespace velaset
