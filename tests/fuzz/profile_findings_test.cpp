// Damaged profile and project files that the fuzz targets found mishandled, kept as
// cases of their own. They run on both platforms: the Windows profile functions are
// the model that the POSIX layer follows.
#include <gtest/gtest.h>

#include "builder/project/project.h"
#include "builder/project/project_file.h"
#include "platform/profile_file.h"
#include "tests/support/scratch_folder.h"

namespace {

using namespace std::string_literals;
using velaset_test::ScratchFolder;

std::string Read(const std::string& file, const char* section, const char* key) {
    return platform::ReadProfileValue(file, section, key, "?", 255);
}

// A CR without LF ends its line, as the system reads it; before, the POSIX layer kept
// it inside the value, and a project loaded from such a file could not be saved again.
TEST(ProfileReadOfDamagedFile, CrAloneEndsTheLine) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("cr.ini", "[S]\r\nK=ab\rM=cd\r\nL=x\rY\r\n[T]\rZ=1\r\n"s);
    EXPECT_EQ(Read(file, "S", "K"), "ab");
    EXPECT_EQ(Read(file, "S", "M"), "cd");
    EXPECT_EQ(Read(file, "S", "L"), "x");
    EXPECT_EQ(Read(file, "T", "Z"), "1");

    ASSERT_TRUE(platform::WriteProfileValue(file, "S", "M", "nuovo").ok);
    EXPECT_EQ(Read(file, "S", "K"), "ab");
    EXPECT_EQ(Read(file, "S", "M"), "nuovo");
    EXPECT_EQ(Read(file, "T", "Z"), "1");
}

// A NUL byte never reaches a value (the system hands values over as C strings; Wine
// even takes a file with NUL bytes for UTF-16 and finds no key in it at all).
TEST(ProfileReadOfDamagedFile, NoValueHoldsANulByte) {
    ScratchFolder scratch;
    std::string file = scratch.WriteFile("nul.ini", "[S]\r\nK=ab\0cd\r\nM=x\r\n"s);
    std::string value = Read(file, "S", "K");
    EXPECT_EQ(value.find('\0'), std::string::npos);
#ifndef _WIN32
    EXPECT_EQ(value, "ab");
#endif
}

TEST(ProjectLoadOfDamagedFile, LineBrokenByACrAloneSavesAndLoadsBackTheSame) {
    ScratchFolder scratch;
    velaset::Project project;
    project.ProgFile = scratch.WriteFile(
        "cr.mip", "[Progetto]\r\nEtic2A=prima\rseconda\r\nGruppo=1\r\nDlgEnd=0\r\n"
                  "Titolo=Demo\rLancio=x\r\n[Chiavi]\r\nNumChiavi=1\r\n1=HKCU,X,\"\",,\"1\"\rresto\r\n"s);
    ASSERT_TRUE(velaset::LoadProject(&project, scratch.Path()).ok);
    EXPECT_EQ(project.Etic2A, "prima");
    EXPECT_EQ(project.Titolo, "Demo");
    EXPECT_EQ(project.Lancio, "x");
    ASSERT_EQ(project.RegistryEntries().size(), 1u);
    EXPECT_EQ(project.RegistryEntries()[0], "HKCU,X,\"\",,\"1\"");

    velaset::Project again;
    again.ProgFile = scratch.Path("copia.mip");
    ASSERT_TRUE(velaset::SaveProjectTo(project, again.ProgFile).ok);
    ASSERT_TRUE(velaset::LoadProject(&again, scratch.Path()).ok);
    EXPECT_EQ(again.Etic2A, project.Etic2A);
    EXPECT_EQ(again.Titolo, project.Titolo);
    EXPECT_EQ(again.RegistryEntries(), project.RegistryEntries());
}

} // namespace
