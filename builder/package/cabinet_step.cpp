#include "builder/package/cabinet_step.h"

#include "common/constants.h"

namespace velaset {

const char* const kCabinetBaseName = "setup";

std::string ComprimiFileList(const std::vector<std::string>& files,
                             const std::string& runtimeLibrary, const std::string& script,
                             Compression compression) {
    std::string list;
    const char* joint = compression == Compression::Lzx ? "|" : "+";
    for (size_t i = 0; i < files.size(); ++i)
        list += files[i] + (i + 1 < files.size() ? joint : "+");
    if (!runtimeLibrary.empty())
        list += runtimeLibrary + "+";
    return list + script;
}

int CreaCab(const ComprimiFunction& comprimi, const std::string& cabDir,
            const std::string& fileList, Compression compression,
            const CabinetProgress& progress) {
    const std::uint32_t method = compression == Compression::Lzx ? kMethodLzx : kMethodMsZip;
    int result =
        comprimi(cabDir, kCabinetBaseName, fileList, CABINET_SIZE_LIMIT, method, progress);
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
