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

    // What the installer stub reads from the script: plain values when the dialect gives
    // them back unchanged, quoted ones always (blanks at their ends included), and the key
    // by which the installer finds an installed version.
    const std::string script = fuzz::WriteFixtureFile("setup.inf", bytes.data(), bytes.size());
    const bool dlgEnd = p.DlgEnd() == 1;
    const bool named = variant == velaset::ScriptVariant::Full && velaset::HasPackageKeys(p);
    const std::string key =
        named ? std::string(p.Ambito == velaset::Scope::User ? "HKCU" : "HKLM") +
                    ",Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + p.Titolo
              : "";
    const struct {
        const char* section;
        const char* key;
        std::string text; // in UTF-8
        bool checked;
        const char* absent; // what reads back when the key is missing
    } reads[] = {
        {"Version", "Caption", p.Caption, ReadsBackAsIs(p.Caption), "\x01"},
        {"Version", "Label1", p.Etic1A, ReadsBackAsIs(p.Etic1A), "\x01"},
        // Line breaks as the pilcrow sign.
        {"Version", "Label2", velaset::EncodeLineBreaks(p.Etic2A),
         ReadsBackAsIs(velaset::EncodeLineBreaks(p.Etic2A)), "\x01"},
        {"Version", "FailureMsg", p.Errore, ReadsBackAsIs(p.Errore), "\x01"},
        {"Version", "StopMsg", p.Stop, ReadsBackAsIs(p.Stop), "\x01"},
        {"Version", "Label3", p.Browse, ReadsBackAsIs(p.Browse), "\x01"},
        {"Version", "AlertMsg", p.Disinstalla, ReadsBackAsIs(p.Disinstalla), "\x01"},
        {"Version", "Title", p.CaptionB, dlgEnd && ReadsBackAsIs(p.CaptionB), "\x01"},
        {"Version", "Message", p.EticB, dlgEnd && ReadsBackAsIs(p.EticB), "\x01"},
        {"Background", "Title", p.TestoSfondo, p.Sfondo() == 1 && ReadsBackAsIs(p.TestoSfondo),
         "\x01"},
        {"Version", "Run", p.DefCartella + p.DefDir + "\\" + p.Lancio, p.ChkLancio() == 1, ""},
        {"Strings", "DIRDEF", p.DefDir, true, "\x01"},
        {"Version", "UninstallKey", key, ReadsBackAsIs(p.Titolo), ""},
        {"Version", "Browse", std::to_string(p.ButtonBrowse()), true, ""},
    };
    for (const auto& r : reads) {
        std::string ansi;
        platform::Utf8ToWindows1252(r.text, &ansi);
        const std::string back =
            platform::ReadProfileValue(script, r.section, r.key, r.absent, 4096);
        if (r.checked && back != ansi)
            Fail(std::string("[") + r.section + "] " + r.key + " reads back as <" + back +
                 "> for <" + ansi + ">");
    }
    return 0;
}
