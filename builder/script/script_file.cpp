// The setup script on disk: checks first, then a complete file or none.
#include "builder/script/script_file.h"

#include "builder/project/entry_forms.h"
#include "builder/project/line_breaks.h"
#include "builder/project/package_keys.h"
#include "builder/project/package_names.h"
#include "builder/project/project_fields.h"
#include "builder/script/script_fields.h"
#include "platform/file_access.h"
#include "platform/folders.h"
#include "platform/short_path_cache.h"
#include "platform/source_path.h"
#include "platform/text_encoding.h"
#include "platform/whole_file.h"

namespace velaset {

namespace {

std::string FileField(size_t index) {
    return "Files " + std::to_string(index + 1);
}

} // namespace

platform::Status ResolveScriptFiles(const Project& project, std::vector<ScriptFile>* files) {
    files->clear();
    files->reserve(project.Files().size());
    platform::ShortPathCache shortPaths;
    const std::vector<std::string> names = PackageShortNames(project.Files(), shortPaths);
    for (size_t i = 0; i < names.size(); ++i) {
        const FileEntry& entry = project.Files()[i];
        ScriptFile file{entry.path, platform::SourceFileName(entry.path), names[i],
                        entry.destination};
        if (!platform::FileSize(entry.path, &file.size))
            file.size = 0;
        if (file.shortName.empty()) {
            // The system gives no short form for a file that is gone, and none for one
            // whose short path does not fit its 164-character buffer.
            const char* why = platform::IsReadableFile(entry.path)
                                  ? ": il suo percorso corto supera i 164 caratteri."
                                  : ": il file non esiste più.";
            return platform::Status::Failed("Impossibile leggere il nome corto del file " +
                                            entry.path + why);
        }
        files->push_back(std::move(file));
    }
    return platform::Status::Ok();
}

std::vector<ScriptField> ScriptFieldsOf(const Project& p, const std::vector<ScriptFile>& files,
                                        ScriptVariant variant) {
    std::vector<ScriptField> fields = {
        {"Titolo", p.Titolo},
        {"Caption", p.Caption},
        {"Etic1A", p.Etic1A},
        {"Etic2A", EncodeLineBreaks(p.Etic2A)},
        {"DefDir", p.DefDir},
        {"Errore", p.Errore},
        {"Stop", p.Stop},
        {"Browse", p.Browse},
        {"Disinstalla", p.Disinstalla},
    };
    if (p.ChkLancio() == 1) {
        fields.push_back({"DefCartella", p.DefCartella});
        fields.push_back({"Lancio", p.Lancio});
    }
    if (p.DlgEnd() == 1) {
        fields.push_back({"CaptionB", p.CaptionB});
        fields.push_back({"EticB", p.EticB});
    }
    if (p.Sfondo() == 1) {
        fields.push_back({"TestoSfondo", p.TestoSfondo});
    }
    for (size_t i = 0; i < files.size(); ++i) {
        fields.push_back({FileField(i), files[i].fileName});
        fields.push_back({FileField(i), files[i].shortName});
    }
    for (size_t i = 0; i < p.RegistryEntries().size(); ++i) {
        fields.push_back({"Chiavi " + std::to_string(i + 1), p.RegistryEntries()[i]});
    }
    if (variant == ScriptVariant::Full) {
        for (const char* key : PackageKeyNames()) {
            fields.push_back({key, PackageKeyText(p, key)});
        }
        fields.push_back({"LabelControl", p.LabelControl});
        fields.push_back({"NomeGruppo", p.NomeGruppo});
        fields.push_back({"UninstallString", p.UninstallString});
        for (size_t i = 0; i < p.Links().size(); ++i) {
            fields.push_back({"Link " + std::to_string(i + 1), p.Links()[i].Text()});
        }
    }
    return fields;
}

platform::Status BuildSetupScript(const Project& project, ScriptVariant variant,
                                  std::string* bytes) {
    // The entries go into their lines almost as stored: one out of its form is refused
    // before anything else is looked at.
    platform::Status status = CheckEntryForms(project);
    if (status) {
        status = CheckPackageKeys(project);
    }
    if (status) {
        status = CheckScope(project);
    }
    if (status) {
        status = CheckProjectFields(project, variant == ScriptVariant::Full);
    }
    if (!status) {
        return status;
    }
    std::vector<ScriptFile> files;
    status = ResolveScriptFiles(project, &files);
    if (!status) {
        return status;
    }
    // The installer turns every mark of Etic2A into a line break, so a mark typed into
    // the text itself would come out as one.
    if (project.Etic2A.find(kLineBreakMark) != std::string::npos) {
        return platform::Status::Failed(std::string("Il campo Etic2A contiene il carattere ") +
                                        kLineBreakMark +
                                        ", che il file inf usa per andare a capo.");
    }
    status = CheckScriptFields(ScriptFieldsOf(project, files, variant));
    if (!status) {
        return status;
    }
    const std::string text = SetupScriptText(project, files, variant);
    // Every field passed the check and the fixed texts are ASCII, so this cannot fail;
    // it is checked all the same rather than written half converted.
    if (!platform::Utf8ToWindows1252(text, bytes)) {
        return platform::Status::Failed("Il file inf contiene caratteri non validi.");
    }
    return platform::Status::Ok();
}

platform::Status WriteSetupScript(const Project& project, ScriptVariant variant,
                                  const std::string& path) {
    std::string bytes;
    platform::Status status = BuildSetupScript(project, variant, &bytes);
    if (!status) {
        return status;
    }
    // The complete file takes the place of an older script in one step.
    return platform::ReplaceWholeFile(path, bytes);
}

ScriptVariant VariantOf(const Project& project) {
    return project.Distribuzione() == 1 ? ScriptVariant::DistributionOnly : ScriptVariant::Full;
}

std::string DefaultScriptPath() {
    return platform::JoinSourcePath(platform::TempFolder(), "setup.inf");
}

} // namespace velaset
