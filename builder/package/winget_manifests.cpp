// The winget manifests of a package: identity from the project, installer from the file.
#include "builder/package/winget_manifests.h"

#include <cstdio>
#include <cstring>

#include "builder/project/package_keys.h"
#include "common/constants.h"

namespace velaset {

namespace {

const char kManifestVersion[] = "1.6.0";
const char kLocale[] = "it-IT";

// A text as a double-quoted YAML scalar: backslash, quote and control characters escaped.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '\\' || c == '"') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%02X", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// One segment of the identifier: at most 32 characters (UTF-8 sequences kept whole),
// without those winget refuses.
std::string Segment(const std::string& text) {
    std::string out;
    int characters = 0;
    for (unsigned char c : text) {
        if (c < 0x80 && (c <= 0x20 || c == 0x7F || std::strchr(".\\/:*?\"<>|", c) != nullptr))
            continue;
        const bool continuation = (c & 0xC0) == 0x80;
        if (!continuation && ++characters > 32)
            break;
        out += static_cast<char>(c);
    }
    return out;
}

std::string FirstLine(const std::string& text) {
    const size_t end = text.find_first_of("\r\n");
    std::string line = text.substr(0, end);
    const size_t first = line.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : line.substr(first);
}

// The lines every manifest starts and ends with.
std::string Manifest(const char* schema, const std::string& identifier, const Project& p,
                     const std::string& body, const char* type) {
    return std::string("# Creato con Velaset ") + VELASET_VERSION_TEXT +
           "\n# yaml-language-server: $schema=https://aka.ms/winget-manifest." + schema + "." +
           kManifestVersion + ".schema.json\n\nPackageIdentifier: " + Quoted(identifier) +
           "\nPackageVersion: " + Quoted(p.Versione) + "\n" + body + "ManifestType: " + type +
           "\nManifestVersion: " + kManifestVersion + "\n";
}

bool IsWebAddress(const std::string& url) {
    std::string scheme = url.substr(0, url.find("://") + 3);
    for (char& c : scheme)
        c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return (scheme == "http://" || scheme == "https://") && url.size() > scheme.size() &&
           url.find_first_of(" \t\r\n\"") == std::string::npos;
}

} // namespace

std::string WingetIdentifier(const Project& project) {
    const std::string publisher = Segment(project.Editore);
    const std::string title = Segment(project.Titolo);
    return publisher.empty() || title.empty() ? std::string() : publisher + "." + title;
}

platform::Status WingetManifests(const Project& p, const WingetInstaller& installer,
                                 std::vector<WingetManifest>* manifests) {
    std::string missing;
    if (p.Versione.empty())
        missing = "Versione";
    if (p.Editore.empty())
        missing += missing.empty() ? "Editore" : " ed Editore";
    if (!missing.empty())
        return platform::Status::Failed(
            "Il progetto non ha " + missing +
                ", che winget richiede per identificare il pacchetto e le sue versioni: "
                "impostarli con velaset set (per esempio Versione=1.0 \"Editore=Rossi "
                "Software\").",
            platform::ErrorKind::Refused);
    const std::string id = WingetIdentifier(p);
    if (id.empty())
        return platform::Status::Failed(
            "Editore e Titolo non danno un identificatore per winget: servono lettere o cifre "
            "in entrambi.",
            platform::ErrorKind::Refused);
    if (!IsWebAddress(installer.url))
        return platform::Status::Failed("L'indirizzo del pacchetto, \"" + installer.url +
                                            "\", non comincia con http:// o https://.",
                                        platform::ErrorKind::Refused);
    const bool user = p.Ambito == Scope::User;
    const std::string description = installer.description.empty()
                                        ? (FirstLine(p.Etic2A).empty() ? p.Titolo : FirstLine(p.Etic2A))
                                        : installer.description;
    std::string installerBody =
        std::string("InstallerType: exe\nScope: ") + (user ? "user" : "machine") +
        "\nInstallModes:\n- interactive\n- silent\n- silentWithProgress\n"
        "InstallerSwitches:\n  Silent: /S\n  SilentWithProgress: /S\n"
        "  InstallLocation: /D=<INSTALLPATH>\n"
        "ExpectedReturnCodes:\n- InstallerReturnCode: 1602\n  ReturnResponse: downgrade\n"
        "UpgradeBehavior: install\nProductCode: " + Quoted(p.Titolo) + "\n" +
        (user ? "" : "ElevationRequirement: elevatesSelf\n") +
        "AppsAndFeaturesEntries:\n- DisplayName: " + Quoted(p.LabelControl) +
        "\n  DisplayVersion: " + Quoted(p.Versione) + "\n  Publisher: " + Quoted(p.Editore) +
        "\n  ProductCode: " + Quoted(p.Titolo) + "\nInstallers:\n- Architecture: " +
        ArchitectureName(installer.architecture) + "\n  InstallerUrl: " + Quoted(installer.url) +
        "\n  InstallerSha256: " + installer.sha256 + "\n";
    std::string localeBody = std::string("PackageLocale: ") + kLocale +
                             "\nPublisher: " + Quoted(p.Editore) + "\nPackageName: " +
                             Quoted(p.Titolo) + "\n" +
                             (p.SitoWeb.empty() ? "" : "PackageUrl: " + Quoted(p.SitoWeb) + "\n") +
                             "License: " +
                             Quoted(installer.license.empty() ? "Proprietary" : installer.license) +
                             "\nShortDescription: " + Quoted(description) + "\n";
    *manifests = {
        {id + ".yaml", Manifest("version", id, p, std::string("DefaultLocale: ") + kLocale + "\n",
                                "version")},
        {id + ".installer.yaml", Manifest("installer", id, p, installerBody, "installer")},
        {id + ".locale." + kLocale + ".yaml",
         Manifest("defaultLocale", id, p, localeBody, "defaultLocale")},
    };
    return platform::Status::Ok();
}

} // namespace velaset
