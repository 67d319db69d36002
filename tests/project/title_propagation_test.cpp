#include <gtest/gtest.h>

#include "builder/project/project.h"
#include "platform/source_path.h"

namespace {

using velaset::Project;

Project NewProjectIn(const std::string& folder) {
    Project p;
    p.ResetToNewProject(folder, "C:\\Program Files\\");
    return p;
}

TEST(TitlePropagation, ReplacesTheOldTitleInTextsAndPaths) {
    Project p = NewProjectIn("C:\\Tools");
    p.ExeFile = "C:\\Tools\\Nuovo Progetto.exe";
    p.Caption = "Altro titolo";
    p.SetTitleAsTyped("Demo");
    EXPECT_EQ(p.Titolo, "Demo");
    EXPECT_EQ(p.Etic1A, "Benvenuti nell'installazione di Demo");
    EXPECT_EQ(p.Etic2A, "Questo programma installerà Demo sul vostro computer.");
    EXPECT_EQ(p.NomeGruppo, "Demo");
    EXPECT_EQ(p.CaptionB, "Demo");
    EXPECT_EQ(p.LabelControl, "Demo, Versione 1.0");
    EXPECT_EQ(p.ExeFile, "C:\\Tools\\Demo.exe");
    EXPECT_EQ(p.Caption, "Altro titolo");
    EXPECT_EQ(p.DefDir, "Nuovo Progetto"); // not one of the propagated fields
    EXPECT_EQ(p.EticB, "Installazione completata con successo.");
}

// The first occurrence only, also where the title stands inside a longer word.
TEST(TitlePropagation, ReplacesOnlyTheFirstOccurrence) {
    Project p = NewProjectIn("C:\\Nuovo Progetto");
    p.Caption = "Nuovo Progetto e Nuovo Progetto";
    p.NomeGruppo = "I Nuovo Progettoni, Nuovo Progetto";
    p.ProgFile = "C:\\Nuovo Progetto\\Nuovo Progetto.mip";
    p.SetTitleAsTyped("Demo");
    EXPECT_EQ(p.Caption, "Demo e Nuovo Progetto");
    EXPECT_EQ(p.NomeGruppo, "I Demoni, Nuovo Progetto");
    EXPECT_EQ(p.ProgFile, "C:\\Demo\\Nuovo Progetto.mip");
}

TEST(TitlePropagation, RemembersTheTitleWhenTheFieldGainsTheFocus) {
    Project p = NewProjectIn("C:\\P");
    p.BeginTitleEdit();
    p.Titolo = "Prima";
    p.Titolo = "Seconda";
    p.EndTitleEdit();
    EXPECT_EQ(p.Caption, "Seconda");
    p.SetTitleAsTyped("Terza");
    EXPECT_EQ(p.Caption, "Terza");
    EXPECT_EQ(p.ExeFile, platform::JoinSourcePath("C:\\P", "Terza.exe"));
}

TEST(TitlePropagation, AnEmptyOldTitleChangesNothing) {
    Project p;
    p.Caption = "Setup";
    p.SetTitleAsTyped("Demo");
    EXPECT_EQ(p.Caption, "Setup");
    EXPECT_EQ(p.Titolo, "Demo");
}

} // namespace
