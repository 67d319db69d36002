// Fuzzes the setup-script writer on arbitrary projects: any texts (line breaks, NULs,
// quotes, characters beyond Windows-1252), files that exist or not, links, registry
// entries and flags, in both variants. The writer either refuses with a message or
// gives a script whose every line ends in CR LF, and whose [Version] texts (the line
// breaks of Label2 as the pilcrow sign), Run, [Strings] DIRDEF and the installed
// version's key read back, through the profile functions the installer stub uses, as
// the project holds them.
#include "builder/project/line_breaks.h"
#include "builder/project/package_keys.h"
#include "builder/project/project.h"
#include "builder/script/script_file.h"
#include "platform/profile_file.h"
#include "platform/text_encoding.h"
#include "tests/fuzz/fuzz_support.h"

using fuzz::Fail;
using velaset::Project;

namespace {

// The fixture's files, and a few names that name nothing.
const char* const kPaths[] = {
    "app.exe",  "Guida lunga.hlp", "Documento largo.txt", "Documento lungo.txt",
    "Però.txt", "readme.txt",      "sub dir/lib.dll",     "assente.exe",
    "sub dir"};

std::string Text(FuzzedDataProvider& in) {
    return in.ConsumeRandomLengthString(80);
}

// A text that the profile dialect gives back unchanged.
bool ReadsBackAsIs(const std::string& v) {
    auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return v.empty() || (!blank(v.front()) && !blank(v.back()) && !fuzz::Quoted(v));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    Project p;
    for (std::string* text : {&p.Titolo, &p.Caption, &p.Etic1A, &p.Etic2A, &p.DefCartella,
                              &p.DefDir, &p.NomeGruppo, &p.CaptionB, &p.EticB, &p.LabelControl,
                              &p.Lancio, &p.Errore, &p.Stop, &p.Browse, &p.Disinstalla})
        *text = Text(in);
    if (p.Titolo.empty())
        p.Titolo = "Demo"; // a package without a title is refused before anything is written
    p.SetButtonBrowse(in.ConsumeBool());
    p.SetSfondo(in.ConsumeBool());
    p.TestoSfondo = Text(in);
    p.SetGruppo(in.ConsumeBool());
    p.SetDlgEnd(in.ConsumeBool());
    p.SetUninstall(in.ConsumeBool());
    p.UninstallString = Text(in);
    p.SetChkLancio(in.ConsumeBool());
    p.SetDistribuzione(in.ConsumeBool());
    for (int i = 0, files = in.ConsumeIntegralInRange<int>(0, 6); i < files; ++i)
        p.AddFile({in.ConsumeBool() ? kPaths[in.ConsumeIntegralInRange<size_t>(0, 8)] : Text(in),
                   in.ConsumeBool() ? std::string(1, "DWSHI"[in.ConsumeIntegralInRange(0, 4)]) +
                                          (in.ConsumeBool() ? "*" : "")
                                    : Text(in)});
    for (int i = 0, links = in.ConsumeIntegralInRange<int>(0, 4); i < links; ++i)
        p.AddLink({Text(in), Text(in), in.ConsumeBool() ? "P" : in.ConsumeBool() ? "D" : Text(in)});
    for (int i = 0, keys = in.ConsumeIntegralInRange<int>(0, 4); i < keys; ++i)
        p.AddRegistryEntry(Text(in));
    velaset::ScriptVariant variant =
        in.ConsumeBool() ? velaset::ScriptVariant::Full : velaset::ScriptVariant::DistributionOnly;
    // The package keys as typed into the wizard: the build refuses those out of their forms.
    p.Versione = in.ConsumeBool() ? "2.0.1" : Text(in);
    p.Editore = Text(in);
    p.SitoWeb = in.ConsumeBool() ? "https://example.org/a%20b" : Text(in);
    p.Ambito = in.ConsumeBool() ? velaset::Scope::User : velaset::Scope::Machine;

    std::string bytes;
    const platform::Status built = [&] {
        fuzz::InFixture inFixture;
        return velaset::BuildSetupScript(p, variant, &bytes);
    }();
    if (!built) {
        if (built.message.empty())
            Fail("a refusal without a message");
        return 0;
    }

    fuzz::ScriptLines(bytes);

    // What the installer stub reads from the script.
    const std::string label2 = velaset::EncodeLineBreaks(p.Etic2A); // line breaks as ¶
    const std::string script = fuzz::WriteFixtureFile("setup.inf", bytes.data(), bytes.size());
    struct Read {
        const char* section;
        const char* key;
        const std::string* field;
        bool written;
    } reads[] = {
        {"Version", "Caption", &p.Caption, true},
        {"Version", "Label1", &p.Etic1A, true},
        {"Version", "Label2", &label2, true},
        {"Version", "FailureMsg", &p.Errore, true},
        {"Version", "StopMsg", &p.Stop, true},
        {"Version", "Label3", &p.Browse, true},
        {"Version", "AlertMsg", &p.Disinstalla, true},
        {"Version", "Title", &p.CaptionB, p.DlgEnd() == 1},
        {"Version", "Message", &p.EticB, p.DlgEnd() == 1},
        {"Background", "Title", &p.TestoSfondo, p.Sfondo() == 1},
    };
    for (const Read& r : reads) {
        if (!r.written || !ReadsBackAsIs(*r.field))
            continue;
        std::string ansi;
        platform::Utf8ToWindows1252(*r.field, &ansi);
        std::string back = platform::ReadProfileValue(script, r.section, r.key, "\x01", 4096);
        if (back != ansi)
            Fail(std::string("[") + r.section + "] " + r.key + " reads back as <" + back +
                 "> for <" + ansi + ">");
    }
    // Quoted values: every text comes back, blanks at its ends included.
    std::string run, dirdef;
    platform::Utf8ToWindows1252(p.DefCartella + p.DefDir + "\\" + p.Lancio, &run);
    platform::Utf8ToWindows1252(p.DefDir, &dirdef);
    if (p.ChkLancio() == 1 && platform::ReadProfileValue(script, "Version", "Run", "", 4096) != run)
        Fail("[Version] Run does not read back as " + run);
    if (platform::ReadProfileValue(script, "Strings", "DIRDEF", "\x01", 4096) != dirdef)
        Fail("[Strings] DIRDEF does not read back as " + dirdef);
    // The key by which the installer finds an installed version.
    std::string title;
    platform::Utf8ToWindows1252(p.Titolo, &title);
    const bool named = variant == velaset::ScriptVariant::Full && velaset::HasPackageKeys(p);
    const std::string key =
        named ? std::string(p.Ambito == velaset::Scope::User ? "HKCU" : "HKLM") +
                    ",Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + title
              : "";
    if (ReadsBackAsIs(p.Titolo) &&
        platform::ReadProfileValue(script, "Version", "UninstallKey", "", 4096) != key)
        Fail("[Version] UninstallKey does not read back as <" + key + ">");
    std::string browse = platform::ReadProfileValue(script, "Version", "Browse", "", 255);
    if (browse != std::to_string(p.ButtonBrowse()))
        Fail("[Version] Browse reads back as <" + browse + ">");
    return 0;
}
