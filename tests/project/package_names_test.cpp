// The names a package holds its files under: the system's valid 8.3 names unchanged,
// made names for the rest, and the clash rule that goes with them.
#include <gtest/gtest.h>

#include "builder/project/load_report.h"
#include "builder/project/package_names.h"
#include "builder/project/project_file.h"
#include "builder/project/short_name_clash.h"
#include "platform/short_path_cache.h"
#include "tests/support/no_short_names.h"
#include "tests/support/scratch_folder.h"

namespace {

using velaset::FileEntry;
using velaset::ShortNameIndex;
using velaset_test::Crlf;
using velaset_test::ScratchFolder;

std::string Src(const std::string& folder, const std::string& name) {
    return platform::JoinSourcePath(platform::JoinSourcePath("radice", folder), name);
}

TEST(PackageNames, KeepsEveryValidSystemNameAndMakesTheOthersFreeAmongThem) {
    const std::vector<FileEntry> files = {
        {Src("a", "Leggimi per primo.txt"), "D"}, // the system answered the long name
        {Src("b", "Guida lunga.hlp"), "H"},       // a system short name
        {Src("c", "a+b.txt"), "D"},
        {Src("d", "LEGGIM~1.TXT"), "D"}, // a file whose own name takes ~1
        {Src("e", "Leggimi per secondo.txt"), "W"},
        {Src("f", "readme.txt"), "D"},
        {Src("g", "sparito.txt"), "D"},
    };
    const std::vector<std::string> system = {"Leggimi per primo.txt", "GUIDAL~1.HLP", "a+b.txt",
                                             "LEGGIM~1.TXT", "Leggimi per secondo.txt",
                                             "readme.txt", ""};
    EXPECT_EQ(velaset::PackageNames(files, system),
              (std::vector<std::string>{"LEGGIM~2.TXT", "GUIDAL~1.HLP", "A_B~1.TXT",
                                        "LEGGIM~1.TXT", "LEGGIM~3.TXT", "readme.txt", ""}));
    // Letter case does not make a name free: the volume ignores it.
    EXPECT_EQ(velaset::PackageNames({{Src("a", "a b.txt"), "D"}, {Src("b", "ab~1.txt"), "D"}},
                                    {"a b.txt", "ab~1.txt"}),
              (std::vector<std::string>{"AB~2.TXT", "ab~1.txt"}));
}

TEST(PackageNames, TenMadeNamesOfOneStemShortenTheirBase) {
    std::vector<FileEntry> files;
    std::vector<std::string> system;
    for (int i = 0; i < 11; ++i) {
        const std::string name = "Documento " + std::to_string(i) + ".txt";
        files.push_back({Src("a", name), "D"});
        system.push_back(name);
    }
    const std::vector<std::string> names = velaset::PackageNames(files, system);
    EXPECT_EQ(names[0], "DOCUME~1.TXT");
    EXPECT_EQ(names[8], "DOCUME~9.TXT");
    EXPECT_EQ(names[9], "DOCUM~10.TXT");
    EXPECT_EQ(names[10], "DOCUM~11.TXT");
}

TEST(ShortNameIndex, AMadeNameClashesByTheLongNameAndASystemNameByItself) {
    ShortNameIndex index;
    index.Add(Src("a", "a+b.txt"), "a+b.txt");       // gets a made name
    index.Add(Src("b", "Guida lunga.hlp"), "GUIDAL~1.HLP");
    index.Add(Src("c", "sparito.txt"), "");

    // The same long name, made or kept by the system, would be installed twice.
    ShortNameIndex::Clash clash = index.Find(Src("x", "A+B.TXT"), "A+B.TXT");
    EXPECT_EQ(clash.listedPath, Src("a", "a+b.txt"));
    EXPECT_EQ(clash.shortName, "A_B~1.TXT");
    clash = index.Find(Src("y", "a+b.txt"), "A_B~1.TXT");
    EXPECT_EQ(clash.listedPath, Src("a", "a+b.txt"));
    // The system's names clash as they always did, a made one never with them.
    clash = index.Find(Src("z", "Guida lunga.hlp"), "guidal~1.hlp");
    EXPECT_EQ(clash.listedPath, Src("b", "Guida lunga.hlp"));
    EXPECT_EQ(clash.shortName, "GUIDAL~1.HLP");
    EXPECT_EQ(index.Find(Src("z", "GUIDAL~1.HLP"), "GUIDAL~1.HLP").listedPath,
              Src("b", "Guida lunga.hlp"));
    EXPECT_EQ(index.Find(Src("z", "Guida corta.hlp"), "Guida corta.hlp").listedPath, "");
    EXPECT_EQ(index.Find(Src("z", "Guida lunga.hlp"), "GUIDAL~2.HLP").listedPath, "");
    EXPECT_EQ(index.Find(Src("z", "perso.txt"), "").listedPath, Src("c", "sparito.txt"));
}

#ifndef _WIN32
// On the emulation's volume without 8.3 names: the same list of files loads, keeps its
// order, and its names come out as the package names.
TEST(PackageNames, OnAVolumeWithoutShortNamesTheLoadAndTheNamesAgree) {
    ScratchFolder scratch;
    const std::string primo = scratch.WriteFile("A/Leggimi per primo.txt", "1");
    const std::string somma = scratch.WriteFile("A/a+b.txt", "2");
    const std::string again = scratch.WriteFile("B/a+b.txt", "3");
    const std::string plain = scratch.WriteFile("B/readme.txt", "4");
    const std::string mip = scratch.WriteFile(
        "p.mip", Crlf("[Progetto]\nGruppo=0\nDlgEnd=0\nNumFile=4\n[Files]\n1=" + primo +
                      ",D\n2=" + somma + ",D\n3=" + again + ",W\n4=" + plain + ",D\n"));
    velaset_test::NoShortNamesVolume volume;
    velaset::Project p;
    p.ProgFile = mip;
    velaset::LoadReport report;
    ASSERT_TRUE(velaset::LoadProject(&p, "APP", &report).ok);
    ASSERT_EQ(p.Files().size(), 3u);
    ASSERT_EQ(report.dropped.size(), 1u);
    EXPECT_EQ(report.dropped[0].path, again);
    EXPECT_EQ(report.dropped[0].detail, somma);
    EXPECT_EQ(report.dropped[0].shortName, "A_B~1.TXT");
    EXPECT_TRUE(velaset::ShortNameClash(again, p.Files()));
    platform::ShortPathCache cache;
    EXPECT_EQ(velaset::PackageShortNames(p.Files(), cache),
              (std::vector<std::string>{"LEGGIM~1.TXT", "A_B~1.TXT", "readme.txt"}));
}
#endif

} // namespace
