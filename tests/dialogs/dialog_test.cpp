// The rules of the edit dialogs, driven as the windows will drive them.
#include <gtest/gtest.h>

#include "builder/dialogs/dest_dialog.h"
#include "builder/dialogs/keyreg_dialog.h"
#include "builder/dialogs/link_dialog.h"
#include "builder/dialogs/message_dialog.h"
#include "builder/project/entry_forms.h"
#include "platform/source_path.h"

namespace velaset {
namespace {

// A source path of this machine: folder "s", then the name.
std::string Src(const std::string& name) {
    return platform::JoinSourcePath(platform::JoinSourcePath("root", "s"), name);
}

Project WithFiles(const std::vector<FileEntry>& files) {
    Project p;
    for (const FileEntry& f : files) {
        EXPECT_TRUE(p.AddFile(f).ok);
    }
    return p;
}

// --- frmDest ---------------------------------------------------------------------------

TEST(DestDialog, OpensOnTheRowsCodeAndShowsTheCheckOnlyForLibraries) {
    Project p = WithFiles({{"C:\\a\\Comp.ocx", "S*"}, {"C:\\a\\note.TXT", "H"}, {"C:\\a\\x", "d"}});
    DestDialog library(p, 0);
    EXPECT_EQ(library.SelectedIndex(), 2);
    EXPECT_TRUE(library.CheckVisible());
    EXPECT_TRUE(library.CheckEnabled());
    EXPECT_TRUE(library.CheckTicked());

    DestDialog text(p, 1);
    EXPECT_EQ(text.SelectedIndex(), 3);
    EXPECT_FALSE(text.CheckVisible());
    for (int i = 0; i < 5; ++i) {
        text.Select(i);
        text.SetTicked(true);
        EXPECT_FALSE(text.CheckTicked()) << i;
    }

    // A code matching no entry selects none, and OK keeps it.
    DestDialog unknown(p, 2);
    EXPECT_EQ(unknown.SelectedIndex(), -1);
    unknown.Ok();
    EXPECT_EQ(p.Files()[2].destination, "d");
}

TEST(DestDialog, WindowsFolderLibraryCanBeMarkedOnlyAfterMovingToDOrS) {
    Project p = WithFiles({{"C:\\w\\lib.dll", "W"}});
    DestDialog dialog(p, 0);
    EXPECT_FALSE(dialog.CheckEnabled());
    dialog.SetTicked(true);
    EXPECT_FALSE(dialog.CheckTicked());
    dialog.Select(0); // D
    EXPECT_TRUE(dialog.CheckEnabled());
    dialog.SetTicked(true);
    dialog.Ok();
    EXPECT_EQ(p.Files()[0].destination, "D*");
}

TEST(DestDialog, MovingAMarkedLibraryOutOfDAndSDropsTheMark) {
    struct Case {
        const char* entry;
        int select;
        const char* result;
    };
    const Case cases[] = {
        {"S*", 1, "W"}, {"S*", 0, "D*"}, {"D*", 4, "I"}, {"D", 2, "S"}, {"W*", 1, "W"}};
    for (const Case& c : cases) {
        Project p = WithFiles({{"C:\\s\\lib.DLL", c.entry}});
        DestDialog dialog(p, 0);
        dialog.Select(c.select);
        dialog.Ok();
        EXPECT_EQ(p.Files()[0].destination, c.result) << c.entry << " -> " << c.select;
    }
}

// --- frmLink ---------------------------------------------------------------------------

TEST(LinkDialog, AddModeOffersOnlyFilesWhoseCodeIsExactlyDAndTakesALinkOnce) {
    Project p = WithFiles({{Src("app.exe"), "D"},
                           {Src("lib.dll"), "D*"},
                           {Src("sys.dll"), "S"},
                           {Src("setup.data.exe"), "D"}});
    LinkDialog dialog = LinkDialog::ForNew(p);
    EXPECT_EQ(dialog.Caption(), "Velaset - Nuovo link");
    EXPECT_EQ(dialog.FileChoices(), (std::vector<std::string>{"app.exe", "setup.data.exe"}));
    EXPECT_EQ(dialog.SelectedFile(), -1);
    EXPECT_EQ(dialog.SelectedDestination(), 0);
    dialog.ChooseFile(1);
    EXPECT_EQ(dialog.Name(), "setup");
    // The same link twice leaves one row and no message.
    for (int i = 0; i < 2; ++i) {
        LinkDialog again = LinkDialog::ForNew(p);
        again.ChooseFile(0);
        again.ChooseDestination(1);
        const DialogResult result = again.Save();
        EXPECT_TRUE(result.closed);
        EXPECT_EQ(result.message, "");
    }
    ASSERT_EQ(p.Links().size(), 1u);
    EXPECT_EQ(p.Links()[0], (LinkEntry{"app.exe", "app", "D"}));
    EXPECT_STREQ(LinkFault(p.Links()[0]), nullptr);
}

TEST(LinkDialog, EmptyEntriesAndNamesWithACommaOrQuoteAreRefused) {
    const struct {
        const char* code; // of the one file: only "D" is offered
        bool chooseFile;
        const char* name;
        const char* message; // nullptr: any
    } cases[] = {
        {"S", false, "Nome", "Le voci non possono essere vuote."},
        {"D", true, "", "Le voci non possono essere vuote."},
        {"D", false, "Nome", "Le voci non possono essere vuote."},
        {"D", true, "Uno, due", nullptr},
        {"D", true, "Il \"primo\"", nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.code) + " " + c.name);
        Project p = WithFiles({{Src("app.exe"), c.code}});
        LinkDialog dialog = LinkDialog::ForNew(p);
        if (c.chooseFile)
            dialog.ChooseFile(0);
        dialog.SetName(c.name);
        const DialogResult result = dialog.Save();
        EXPECT_FALSE(result.closed);
        EXPECT_FALSE(result.message.empty());
        if (c.message != nullptr)
            EXPECT_EQ(result.message, c.message);
        EXPECT_TRUE(p.Links().empty());
    }
}

TEST(LinkDialog, EditKeepsTheFileAndMayMakeTwoRowsIdentical) {
    Project p = WithFiles({{Src("app.exe"), "D"}});
    ASSERT_TRUE(p.AddLink({"app.exe", "Uno", "P"}).ok);
    ASSERT_TRUE(p.AddLink({"app.exe", "Due", "D"}).ok);
    LinkDialog dialog = LinkDialog::ForEdit(p, 1);
    EXPECT_EQ(dialog.Caption(), "Velaset - Modifica link");
    EXPECT_EQ(dialog.FileChoices(), std::vector<std::string>{"app.exe"});
    EXPECT_EQ(dialog.Name(), "Due");
    EXPECT_EQ(dialog.SelectedDestination(), 1);
    dialog.SetName("Uno");
    dialog.ChooseDestination(0);
    EXPECT_TRUE(dialog.Save().closed);
    EXPECT_EQ(p.Links()[0], p.Links()[1]);
}

// --- frmKeyreg -------------------------------------------------------------------------

// A line for each root, else the first check that fails, its message and the field that
// gets the focus.
TEST(KeyregDialog, BuildsTheAddRegLineOfEachRootOrStopsAtTheFirstFaultyField) {
    using Field = KeyregDialog::Field;
    struct Case {
        int root;
        const char* subkey;
        const char* name; // nullptr: "Nome predefinito"
        const char* value;
        const char* entry; // nullptr: refused with message and focus
        const char* message;
        Field focus;
    };
    const Case cases[] = {
        {2, "Software\\Demo", "Path", "%PROGDIR%", "HKLM,Software\\Demo,\"Path\",,\"%PROGDIR%\""},
        {3, "X", nullptr, "1", "HCU,X,\"\",,\"1\""},
        {0, ".mip", nullptr, "Velaset.Progetto", "HKCR,.mip,\"\",,\"Velaset.Progetto\""},
        {1, "Software\\A", "Uno, due", "a,b", "HKCU,Software\\A,\"Uno, due\",,\"a,b\""},
        {2, "", nullptr, "", nullptr, "Devi inserire una sottochiave.", Field::Subkey},
        {2, "K", "", "", nullptr, "Devi inserire un nome personalizzato.", Field::Name},
        {2, "K", "N", "", nullptr, "Devi inserire un valore.", Field::Value},
        {2, "K", nullptr, "", nullptr, "Devi inserire un valore.", Field::Value},
        {2, "A,B", nullptr, "v", nullptr, "La sottochiave non può contenere virgole.",
         Field::Subkey},
        {2, "Soft\"ware", nullptr, "v", nullptr,
         "La sottochiave non può contenere virgolette né punti e virgola.", Field::Subkey},
        {2, "Software;Demo", nullptr, "v", nullptr,
         "La sottochiave non può contenere virgolette né punti e virgola.", Field::Subkey},
        {2, "K", "a\"b", "v", nullptr, "Il nome non può contenere virgolette.", Field::Name},
        {2, "K", nullptr, "\"v\"", nullptr, "Il valore non può contenere virgolette.",
         Field::Value},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry != nullptr ? c.entry : c.message);
        Project p;
        KeyregDialog dialog = KeyregDialog::ForNew(p);
        EXPECT_EQ(dialog.Caption(), "Velaset - Aggiungi voce nel registro di configurazione");
        EXPECT_EQ(dialog.Root(), 2); // HKLM, with the default name
        EXPECT_FALSE(dialog.NameEditable());
        dialog.ChooseRoot(c.root);
        dialog.SetSubkey(c.subkey);
        if (c.name != nullptr) {
            dialog.ChooseCustomName();
            dialog.SetName(c.name);
        }
        dialog.SetValue(c.value);
        const KeyregDialog::Result result = dialog.Ok();
        EXPECT_EQ(result.closed, c.entry != nullptr) << result.message;
        if (c.entry == nullptr) {
            EXPECT_EQ(result.message, c.message);
            EXPECT_EQ(result.focus, c.focus);
            EXPECT_TRUE(p.RegistryEntries().empty());
            continue;
        }
        ASSERT_EQ(p.RegistryEntries().size(), 1u);
        EXPECT_EQ(p.RegistryEntries()[0], c.entry);
        // What the dialog gives is what a load and a build take.
        EXPECT_STREQ(RegistryEntryFault(p.RegistryEntries()[0]), nullptr);
    }
}

TEST(KeyregDialog, EditReopensAnEntryAndReplacesIt) {
    Project p;
    ASSERT_TRUE(p.AddRegistryEntry("HCU,X,\"\",,\"1\"").ok);
    ASSERT_TRUE(p.AddRegistryEntry("HKCR,Software\\Demo,\"Path\",,\"%PROGDIR%\"").ok);
    KeyregDialog byDefault = KeyregDialog::ForEdit(p, 0);
    EXPECT_EQ(byDefault.Caption(), "Velaset - Modifica voce del registro di configurazione");
    EXPECT_EQ(byDefault.Root(), 3);
    EXPECT_EQ(byDefault.Subkey(), "X");
    EXPECT_FALSE(byDefault.CustomName());
    EXPECT_FALSE(byDefault.NameEditable());
    EXPECT_EQ(byDefault.Name(), "");
    EXPECT_EQ(byDefault.Value(), "1");

    KeyregDialog named = KeyregDialog::ForEdit(p, 1);
    EXPECT_EQ(named.Root(), 0);
    EXPECT_TRUE(named.CustomName());
    EXPECT_EQ(named.Name(), "Path");
    EXPECT_EQ(named.Value(), "%PROGDIR%");
    named.ChooseDefaultName();
    EXPECT_EQ(named.Name(), "");
    named.SetName("ignored while read-only");
    EXPECT_TRUE(named.Ok().closed);
    EXPECT_EQ(p.RegistryEntries().size(), 2u);
    EXPECT_EQ(p.RegistryEntries()[1], "HKCR,Software\\Demo,\"\",,\"%PROGDIR%\"");
}

// --- frmMessage ------------------------------------------------------------------------

// An empty box keeps the old message; the uninstall question is locked for a package
// of distribution only, and kept.
TEST(MessageDialog, EmptyBoxAndLockedQuestionKeepTheirMessages) {
    Project p;
    p.Disinstalla = "Rimuovere?";
    p.SetDistribuzione(1);
    MessageDialog dialog(p);
    EXPECT_EQ(dialog.Text(MessageDialog::Errore), p.Errore);
    EXPECT_FALSE(dialog.Enabled(MessageDialog::Disinstalla));
    EXPECT_TRUE(dialog.Enabled(MessageDialog::Browse));
    dialog.SetText(MessageDialog::Disinstalla, "Altro");
    dialog.SetText(MessageDialog::Errore, "");
    dialog.SetText(MessageDialog::Stop, "Interrotta.");
    dialog.Ok();
    EXPECT_EQ(p.Disinstalla, "Rimuovere?");
    EXPECT_EQ(p.Errore, kDefaultErrore);
    EXPECT_EQ(p.Stop, "Interrotta.");
    MessageDialog::Box box;
    EXPECT_TRUE(MessageDialog::BoxNamed("Browse", &box));
    EXPECT_EQ(box, MessageDialog::Browse);
    EXPECT_FALSE(MessageDialog::BoxNamed("browse", &box));
}

} // namespace
} // namespace velaset
