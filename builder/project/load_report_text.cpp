// The Italian texts of a load report.
#include "builder/project/load_report.h"

#include "builder/project/project.h"

namespace velaset {
namespace {

// A box shows this many facts; the rest are counted.
constexpr size_t kBoxLines = 12;

std::string DroppedLine(const DroppedEntry& entry) {
    switch (entry.reason) {
    case DropReason::Missing:
        if (entry.path.empty())
            return "[" + entry.section + "] " + std::to_string(entry.key) + ": la voce è vuota";
        return entry.path + ": il file non esiste";
    case DropReason::Unreadable:
        return entry.path + ": il file non può essere letto (" + entry.detail + ")";
    case DropReason::ShortNameClash:
        return entry.path + ": il nome corto " + entry.shortName + " è già di " + entry.detail;
    case DropReason::LinkWithoutFile: {
        LinkEntry link = LinkEntry::FromText(entry.stored);
        return "collegamento \"" + link.name + "\": il file " + link.file +
               " non è nell'elenco dei file";
    }
    }
    return entry.stored;
}

} // namespace

std::vector<std::string> LoadReportLines(const LoadReport& report) {
    std::vector<std::string> lines;
    if (report.fromUtf8)
        lines.push_back("il file è in UTF-8 (comincia con il segno BOM): è stato letto "
                        "convertendolo in Windows-1252, e il prossimo salvataggio lo scriverà "
                        "in Windows-1252");
    for (const DroppedEntry& entry : report.dropped)
        lines.push_back(DroppedLine(entry));
    for (const MovedEntry& moved : report.moved)
        lines.push_back(moved.stored + ": trovato in " + moved.found);
    if (report.exeMoved)
        lines.push_back("ExeFile " + report.storedExeFile + ": l'eseguibile sarà creato in " +
                        report.exeFile + ", nella cartella in cui ora si trova il progetto");
    if (!report.missingExeFolder.empty()) {
        std::string line =
            "ExeFile " + report.storedExeFile + ": la cartella " + report.missingExeFolder +
            " non esiste";
        if (report.exeFile != report.storedExeFile)
            line += "; l'eseguibile sarà creato in " + report.exeFile;
        lines.push_back(line);
    }
    return lines;
}

std::string LoadReportMessage(const std::string& projectFile, const LoadReport& report) {
    std::vector<std::string> lines = LoadReportLines(report);
    std::string text = "Il progetto " + projectFile + " non è stato caricato come era salvato:\r\n";
    for (size_t i = 0; i < lines.size() && i < kBoxLines; ++i)
        text += "\r\n- " + lines[i];
    if (lines.size() > kBoxLines)
        text += "\r\n- ... e altre " + std::to_string(lines.size() - kBoxLines) + " voci";
    if (report.LostEntries())
        text += "\r\n\r\nLe voci non caricate non sono negli elenchi: se il progetto viene "
                "salvato (anche creando il pacchetto) saranno tolte dal file.\r\n\r\n"
                "Aprire il progetto senza di esse?";
    return text;
}

} // namespace velaset
