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

// The name a made file would have alone, for the clash message.
std::string MadeAlone(const std::string& path) {
    return Upper(platform::NumberedShortName(platform::SourceFileName(path), 1));
}

} // namespace

bool KeepsSystemName(const std::string& systemName) {
    return systemName.empty() || platform::IsShortName(systemName);
}

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
    std::vector<size_t> made;
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string& systemName = systemNames.at(i);
        if (KeepsSystemName(systemName)) {
            names[i] = systemName;
            taken.insert(Upper(systemName));
        } else {
            made.push_back(i);
        }
    }
    // The system's names first, so that a made name never takes one of them, whatever
    // the order of the list.
    for (size_t i : made) {
        const std::string longName = platform::SourceFileName(files[i].path);
        for (size_t n = 1;; ++n) {
            std::string name = platform::NumberedShortName(longName, n);
            if (taken.insert(Upper(name)).second) {
                names[i] = std::move(name);
                break;
            }
        }
    }
    return names;
}

ShortNameIndex::Clash ShortNameIndex::Find(const std::string& path,
                                           const std::string& systemName) const {
    const std::string longName = Upper(platform::SourceFileName(path));
    if (KeepsSystemName(systemName)) {
        auto same = bySystemName_.find(Upper(systemName));
        if (same != bySystemName_.end())
            return {same->second, Upper(systemName)};
        auto made = madeByLongName_.find(longName);
        if (made != madeByLongName_.end())
            return {made->second, MadeAlone(made->second)};
        return {};
    }
    auto same = byLongName_.find(longName);
    if (same != byLongName_.end())
        return {same->second, MadeAlone(path)};
    return {};
}

void ShortNameIndex::Add(const std::string& path, const std::string& systemName) {
    const std::string longName = Upper(platform::SourceFileName(path));
    byLongName_.emplace(longName, path);
    if (KeepsSystemName(systemName))
        bySystemName_.emplace(Upper(systemName), path);
    else
        madeByLongName_.emplace(longName, path);
}

} // namespace velaset
