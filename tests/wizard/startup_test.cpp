// Start-up of the wizard: one running copy, the project on the command line, "&Fine",
// the ".mip" registration values and the about box's version.
#include "builder/wizard/startup.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "builder/project/project_file.h"
#include "platform/message_box.h"
#include "platform/short_path.h"
#include "platform/source_path.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

struct Started {
    Project project;
    WizardController wizard{project, "C:\\Tools"};
    int claims = 0;
    bool allowed = true;
    Startup::Claim Claim() {
        return [this] {
            ++claims;
            return allowed;
        };
    }
};

TEST(WizardStartup, SecondCopyEndsBeforeAnythingHappensTheFirstStartsANewProjectOnPageZero) {
    Started s;
    s.allowed = false;
    EXPECT_FALSE(Startup(s.wizard, "", s.Claim()).FormLoad());
    EXPECT_EQ(s.project.Titolo, ""); // no new-project reset
    s.allowed = true;
    Startup startup(s.wizard, "", s.Claim());
    ASSERT_TRUE(startup.FormLoad());
    EXPECT_EQ(s.wizard.CurrentPage(), 0);
    EXPECT_EQ(s.wizard.Choice(), ProjectChoice::New);
    EXPECT_EQ(s.project.Titolo, "Nuovo Progetto");
    EXPECT_EQ(s.project.Errore, "L'installazione ha riscontrato un errore e verrà terminata!");
    EXPECT_EQ(startup.HelpFile(), "C:\\Tools\\velaset.htm");
}

TEST(WizardStartup, ProgramFilesLabelKeepsItsBackslash) {
#ifndef _WIN32
    setenv("VELASET_PROGRAM_FILES", "D:\\Programmi", 1);
#endif
    Started s;
    Startup startup(s.wizard, "", s.Claim());
    ASSERT_TRUE(startup.FormLoad());
#ifndef _WIN32
    unsetenv("VELASET_PROGRAM_FILES");
    EXPECT_EQ(startup.ProgramFilesLabel(), "D:\\Programmi\\");
#else
    // The registry's ProgramFilesDir of this machine.
    ASSERT_GT(startup.ProgramFilesLabel().size(), 1u);
    EXPECT_EQ(startup.ProgramFilesLabel().back(), '\\');
    EXPECT_NE(startup.ProgramFilesLabel(), "\\");
#endif
}

TEST(WizardStartup, ProjectOnTheCommandLineIsOpenedAndFinishStartsANewOne) {
    velaset_test::ScratchFolder folder;
    // The shell passes the path unquoted, blanks and all.
    std::string path = folder.Path("Mio progetto.mip");
    {
        Project saved;
        saved.ResetToNewProject("C:\\Tools", "C:\\Program Files\\");
        saved.PropagateTitle("Nuovo Progetto", "Demo");
        saved.Titolo = "Demo";
        saved.ExeFile = folder.Path("Demo.exe");
        saved.ProgFile = path;
        ASSERT_TRUE(SaveProject(saved).ok);
    }
    Started s;
    Startup startup(s.wizard, path, s.Claim());
    platform::MessageBoxRecorder boxes;
    ASSERT_TRUE(startup.FormLoad());
    EXPECT_EQ(s.wizard.Choice(), ProjectChoice::Existing);
    EXPECT_EQ(s.wizard.LoadedProject(), path);
    EXPECT_EQ(s.project.ProgFile, path);
    EXPECT_EQ(s.project.Titolo, "Demo");
    EXPECT_EQ(s.project.Caption, "Demo");
    // Page 1 reached forward keeps the loaded project.
    s.wizard.Next();
    EXPECT_EQ(s.project.Titolo, "Demo");

    startup.Finish();
    EXPECT_EQ(s.claims, 1); // the copy keeps the claim it holds
    EXPECT_EQ(s.wizard.CurrentPage(), 0);
    EXPECT_EQ(s.wizard.Choice(), ProjectChoice::New);
    EXPECT_EQ(s.wizard.LoadedProject(), "");
    // Moving on now replaces the project with the new-project defaults.
    s.wizard.Next();
    EXPECT_EQ(s.project.Titolo, "Nuovo Progetto");
    EXPECT_TRUE(boxes.Calls().empty());
}

TEST(WizardStartup, RegistrationNamesTheProgramBesideItsFolder) {
    velaset_test::ScratchFolder folder;
    std::string shortFolder = platform::ShortPath(folder.Path());
    ASSERT_FALSE(shortFolder.empty());
    EXPECT_EQ(OpenCommandForProjects(folder.Path()), shortFolder + "\\velaset.exe %1");
    EXPECT_EQ(DefaultIconForProjects(folder.Path()), shortFolder + "\\velaset.exe,0");
    // A folder without a short form is written as it is.
    EXPECT_EQ(OpenCommandForProjects("Q:\\Missing"), "Q:\\Missing\\velaset.exe %1");
}

TEST(WizardStartup, AboutBoxShowsTheVersion) {
    EXPECT_EQ(AboutVersionText(3, 1, 1), "Versione 3.1.1");
}

} // namespace
} // namespace velaset
