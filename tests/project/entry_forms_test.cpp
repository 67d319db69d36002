// The forms of the list entries: what the dialogs give passes, anything that would carry
// script text of its own is refused, at load with the file left as it was.
#include <gtest/gtest.h>

#include "builder/project/entry_forms.h"
#include "builder/project/project_file.h"
#include "builder/project/windows_names.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset::FileEntry;
using velaset::LinkEntry;
using velaset::Project;
using velaset_test::Crlf;
using velaset_test::ScratchFolder;

TEST(RegistryEntryForm, TakesEveryEntryOfTheDialogsForm) {
    for (const char* entry : {
             "HKLM,Software\\Demo,\"Path\",,\"%PROGDIR%\"",
             "HKCR,.mip,\"\",,\"Velaset.Progetto\"",
             "HKCU,Software\\Demo,\"a, b; c\",,\"x,,\"",
             "HCU,.DEFAULT\\Demo,\"\",,\"1\"",
             "HKLM,Software\\Mio Programma,\"Cartella\",,\"C:\\Programmi\\Mio;1\\\"",
         }) {
        EXPECT_STREQ(velaset::RegistryEntryFault(entry), nullptr) << entry;
    }
}

TEST(RegistryEntryForm, RefusesEveryOtherShapeWithItsReason) {
    const std::string form = "non ha la forma RADICE,sottochiave,\"nome\",,\"valore\"";
    struct Case {
        const char* entry;
        std::string reason;
    } cases[] = {
        // More fields, a flags field, a value cut open by a quote.
        {"HKLM,Software\\Demo,\"n\",,\"v\",HKLM,Run,\"x\",,\"y\"", form},
        {"HKLM,Software\\Demo,\"n\",0x10001,\"v\"", form},
        {"HKLM,Software\\Demo,\"n\",,\"v\"\"\"", form},
        {"HKLM,Software\\Demo,\"n\",,\"v\" ", form},
        {"HKLM,Software\\Demo,n,,v", form},
        {"HKLM,Software\\Demo,;\",,\"v\"", form},
        {"HKLM,Software\\Demo,\"n\"", form},
        {"HKLM,Software\\Demo", form},
        {"VoceSenzaVirgola", form},
        {"", form},
        // Roots the dialog never writes, in any spelling.
        {"HKU,X,\"\",,\"1\"", "la radice non è HKCR, HKCU, HKLM o HCU"},
        {"hklm,X,\"\",,\"1\"", "la radice non è HKCR, HKCU, HKLM o HCU"},
        {" HKLM,X,\"\",,\"1\"", "la radice non è HKCR, HKCU, HKLM o HCU"},
        {"HKEY_LOCAL_MACHINE,X,\"\",,\"1\"", "la radice non è HKCR, HKCU, HKLM o HCU"},
        // A subkey that the script would read otherwise.
        {"HKLM,,\"n\",,\"v\"", "la sottochiave è vuota"},
        {"HKLM,Software;Demo,\"n\",,\"v\"", "la sottochiave contiene virgolette o un punto e virgola"},
        {"HKLM,Soft\"ware,\"n\",,\"v\"", "la sottochiave contiene virgolette o un punto e virgola"},
        {"HKLM,Software\\Demo,\"n\",,\"\"", "il valore è vuoto"},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(velaset::RegistryEntryFault(c.entry), c.reason.c_str()) << c.entry;
}

TEST(LinkAndDestinationForms, TakeTheDialogsFormsOnly) {
    EXPECT_STREQ(velaset::LinkFault({"Mio.exe", "Mio Programma 1.0", "P"}), nullptr);
    EXPECT_STREQ(velaset::LinkFault({"Leggimi per primo.txt", "Leggimi; prima", "D"}), nullptr);
    EXPECT_STREQ(velaset::LinkFault({"Mio.exe", "Mio", "X"}), "la collocazione non è P o D");
    EXPECT_STREQ(velaset::LinkFault({"Mio.exe", "Mio", "P,extra"}), "la collocazione non è P o D");
    EXPECT_STREQ(velaset::LinkFault({"Mio.exe", "", "P"}), "manca il nome");
    EXPECT_STREQ(velaset::LinkFault({"", "Mio", "P"}), "manca il file");
    for (const char* file : {"..\\..\\Windows\\win.ini", "a/b.exe", "x\"y.exe", "C:win.ini"})
        EXPECT_STREQ(velaset::LinkFault({file, "Mio", "D"}),
                  "il file non è un nome senza cartella")
            << file;
    for (const char* name : {"Mio\"\",,, Altro", "Mio, Altro"})
        EXPECT_STREQ(velaset::LinkFault({"Mio.exe", name, "D"}),
                  "il nome contiene virgole o virgolette");

    for (const char* code : {"D", "W", "S", "H", "I", "D*", "S*"})
        EXPECT_STREQ(velaset::DestinationFault({"lib.dll", code}), nullptr) << code;
    for (const char* code : {"", "d", "W*", "DD", "D**", "X", "D,HKLM"})
        EXPECT_STREQ(velaset::DestinationFault({"lib.dll", code}),
                  "la destinazione non è D, W, S, H, I, D* o S*")
            << code;
}

// The device names, in any letter case, with any extension; names that only look like them.
TEST(WindowsNames, RefuseTheDeviceNames) {
    for (const char* name : {"NUL", "nul.txt", "Con", "prn.log", "AUX", "com1", "LPT9.x.y"})
        EXPECT_EQ(velaset::WindowsNameFault(name),
                  "è un nome che Windows riserva ai dispositivi (" +
                      std::string(name).substr(0, std::string(name).find('.')) + ")");
    for (const char* name : {"NULL", "nul_.txt", "COM0", "COM10", "Console.txt", "a.nul"})
        EXPECT_EQ(velaset::WindowsNameFault(name), "") << name;
}

TEST(EntryForms, ABuildRefusesTheFirstEntryOutOfItsFormByItsNumber) {
    ScratchFolder scratch;
    Project p;
    ASSERT_TRUE(p.AddFile({scratch.WriteFile("Mio.exe", "MZ"), "D"}).ok);
    ASSERT_TRUE(p.AddLink({"Mio.exe", "Mio", "P"}).ok);
    ASSERT_TRUE(p.AddRegistryEntry("HKLM,Software\\Mio,\"\",,\"1\"").ok);
    ASSERT_TRUE(p.AddRegistryEntry("HKLM,Software\\Mio,\"a\",,\"1\",HKCU,Run").ok);
    platform::Status status = velaset::CheckEntryForms(p);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.kind, platform::ErrorKind::Refused);
    EXPECT_EQ(status.message, "La voce 2 di [Chiavi] (HKLM,Software\\Mio,\"a\",,\"1\",HKCU,Run) "
                              "non è valida: non ha la forma RADICE,sottochiave,\"nome\",,"
                              "\"valore\".");
    p.RemoveRegistryEntryAt(1);
    EXPECT_TRUE(velaset::CheckEntryForms(p).ok);
    p.ReplaceLink(0, {"Mio.exe", "Mio", "Q"});
    EXPECT_NE(velaset::CheckEntryForms(p).message.find("La voce 1 di [Link] (Mio.exe,Mio,Q)"),
              std::string::npos);
#ifndef _WIN32
    // A name that a POSIX file may have and no Windows file can.
    Project named;
    ASSERT_TRUE(named.AddFile({scratch.WriteFile("a\"b.txt", "x"), "D"}).ok);
    EXPECT_NE(velaset::CheckEntryForms(named).message.find(
                  "non è valida: il nome del file ha caratteri che Windows non ammette."),
              std::string::npos);
#endif
}

TEST(EntryForms, ALoadRefusesTheWholeFileNamingTheEntryAndChangesNothing) {
    ScratchFolder scratch;
    const std::string exe = scratch.WriteFile("Mio.exe", "MZ");
    const std::string files = "[Files]\n1=" + exe + ",D\n";
    struct Case {
        std::string sections;
        std::string named;
    } cases[] = {
        {files + "[Link]\n1=Mio.exe,Mio; 1.0,D\n[Chiavi]\nNumChiavi=1\n1=HCU,X,\"\",,\"1\"\n", ""},
        {files + "[Chiavi]\nNumChiavi=2\n1=HKLM,Software\\Mio,\"\",,\"1\"\n"
         "2=HKU,Software\\Mio,\"a\",,\"1\"\n",
         "La voce 2 di [Chiavi] (HKU,Software\\Mio,\"a\",,\"1\") non è valida: "},
        {files + "[Link]\n1=Mio.exe,Mio\"\",,,x,P\n", "La voce 1 di [Link] (Mio.exe,Mio\"\",,,x,P)"},
        {"[Files]\n1=" + exe + ",D*X\n", "La voce 1 di [Files] (" + exe + ",D*X)"},
    };
    for (const Case& c : cases) {
        const std::string text = Crlf("[Progetto]\nGruppo=1\nDlgEnd=0\nNumFile=1\nNumLink=1\n"
                                      + c.sections);
        const std::string file = scratch.WriteFile("ostile.mip", text);
        Project p;
        p.ProgFile = file;
        p.Titolo = "prima";
        platform::Status loaded = velaset::LoadProject(&p, "APP");
        if (c.named.empty()) {
            EXPECT_TRUE(loaded.ok) << loaded.message;
            continue;
        }
        ASSERT_FALSE(loaded.ok) << c.sections;
        EXPECT_EQ(loaded.kind, platform::ErrorKind::Refused);
        EXPECT_EQ(loaded.message.rfind("Impossibile caricare il progetto " + file + ": " + c.named,
                                       0),
                  0u)
            << loaded.message;
        EXPECT_EQ(p.Titolo, "prima");
        EXPECT_TRUE(p.Files().empty());
        EXPECT_EQ(ScratchFolder::ReadFile(file), text);
    }
}

} // namespace
