#include "builder/package/cabinet_step.h"

#include "common/constants.h"

namespace velaset {

const char* const kCabinetBaseName = "setup";

std::vector<CabinetEntry> CabinetEntries(const std::vector<std::string>& files,
                                         const std::string& runtimeLibrary,
                                         const std::string& script, Compression compression) {
    std::vector<CabinetEntry> entries;
    for (const std::string& file : files)
        entries.push_back({file, compression != Compression::Lzx});
    if (!entries.empty())
        entries.back().endsFolder = true;
    if (!runtimeLibrary.empty())
        entries.push_back({runtimeLibrary, true});
    entries.push_back({script, true});
    return entries;
}

int CreaCab(const ComprimiFunction& comprimi, const std::string& cabDir,
            const std::vector<CabinetEntry>& entries, Compression compression,
            const CabinetProgress& progress) {
    const std::uint32_t method = compression == Compression::Lzx ? kMethodLzx : kMethodMsZip;
    int result =
        comprimi(cabDir, kCabinetBaseName, entries, CABINET_SIZE_LIMIT, method, progress);
    return static_cast<std::int16_t>(result & 0xFFFF);
}

std::string CabinetPath(const std::string& cabDir, int number) {
    // The naming rule of the cabinet library: "%s.CAB" for the first, "%s%d.CAB" after.
    std::string name = kCabinetBaseName;
    if (number >= 2)
        name += std::to_string(number);
    return cabDir + name + ".CAB";
}

} // namespace velaset
