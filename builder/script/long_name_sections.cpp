// Long-file-name sections, one pair per destination code that has files.
#include "builder/script/long_name_sections.h"

#include <string>

#include "builder/script/destination_code.h"
#include "builder/script/text_case.h"

namespace velaset {

namespace {

const char* const RenameKey = ",Software\\Microsoft\\Windows\\CurrentVersion\\RenameFiles\\Splash";
const char* const DeleteKey = ",Software\\Microsoft\\Windows\\CurrentVersion\\DeleteFiles\\Splash";

// The folder line, then one line per long-named file of the code, under one key prefix.
void WriteEntries(ScriptText& out, const std::vector<ScriptFile>& files, char code,
                  const std::string& keyPrefix, const char* folderToken) {
    const std::string key = keyPrefix + code;
    out.Line(key + ",,," + std::string(Q) + folderToken + std::string(Q));
    for (const ScriptFile& file : files) {
        if (EntryHasCode(file.entry, code) && HasLongName(file)) {
            out.Line(key + "," + file.shortName + ",," + std::string(Q) + file.fileName +
                     std::string(Q));
        }
    }
}

} // namespace

bool HasLongName(const ScriptFile& file) {
    return AsciiUpper(file.fileName) != AsciiUpper(file.shortName);
}

void SezioniNomiLunghi(ScriptText& out, const std::vector<ScriptFile>& files, char code,
                       const char* root) {
    const DestinationInfo* info = FindDestination(code);
    bool anyFile = false;
    bool anyLongName = false;
    for (const ScriptFile& file : files) {
        if (EntryHasCode(file.entry, code)) {
            anyFile = true;
            anyLongName = anyLongName || HasLongName(file);
        }
    }
    if (!anyFile || info == nullptr) {
        return;
    }
    out.Blank();
    out.Line(std::string("[SplashRenameFiles") + code + "]");
    if (anyLongName) {
        WriteEntries(out, files, code, root + std::string(RenameKey), info->folderToken);
    }
    out.Blank();
    out.Line(std::string("[SplashRemoveLFNs") + code + "]");
    if (anyLongName) {
        WriteEntries(out, files, code, root + std::string(DeleteKey), info->folderToken);
    }
}

} // namespace velaset
