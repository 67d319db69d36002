#include "builder/script/destination_code.h"

#include <gtest/gtest.h>

namespace velaset {
namespace {

TEST(DestinationCodes, LowerCaseOrUnknownLetterMatchesNoCode) {
    EXPECT_EQ(FindDestination('d'), nullptr);
    EXPECT_EQ(FindDestination('X'), nullptr);
    EXPECT_FALSE(EntryHasCode("d", 'D'));
    EXPECT_FALSE(EntryHasCode("", 'D'));
    EXPECT_EQ(CodeOf(""), '\0');
}

TEST(DestinationCodes, CountsOnlyMarkedEntriesOfTheirOwnCode) {
    const std::vector<std::string> entries = {"D*", "S", "S*", "W*", "D", "d*", "D*"};
    EXPECT_EQ(ContaAutoRegistrazioni(entries, 'D'), 2);
    EXPECT_EQ(ContaAutoRegistrazioni(entries, 'S'), 1);
    EXPECT_EQ(ContaAutoRegistrazioni(entries, 'W'), 1);
    EXPECT_EQ(ContaAutoRegistrazioni(entries, 'H'), 0);
    EXPECT_EQ(ContaAutoRegistrazioni({}, 'D'), 0);
}

TEST(DestinationCodes, EligibilityLooksAtTheLastThreeCharactersOnly) {
    struct Case {
        const char* path;
        bool eligible;
    };
    const Case cases[] = {
        {"C:\\Src\\Comp.ocx", true},
        {"C:\\Src\\lib.DLL", true},
        {"C:\\Src\\OLDDLL", true},
        {"C:\\Src\\readme.txt", false},
        {"C:\\Src\\a.dl", false},
        {"LL", false},
        {"ocx", true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsSelfRegisterFile(c.path), c.eligible) << c.path;
    }
    EXPECT_TRUE(CodeAllowsSelfRegister('D'));
    EXPECT_TRUE(CodeAllowsSelfRegister('S'));
    EXPECT_FALSE(CodeAllowsSelfRegister('W'));
    EXPECT_FALSE(CodeAllowsSelfRegister('d'));
}

TEST(DestinationCodes, DefaultFollowsTheFolderTheFileCameFrom) {
    const DefaultFolders windows{"C:\\WINDOWS", "C:\\WINDOWS\\SYSTEM32\\", '\\'};
    struct Case {
        const char* folder;
        char code;
    };
    const Case cases[] = {
        {"C:\\WINDOWS", 'W'},           {"c:\\windows", 'W'},
        {"C:\\windows\\HELP", 'H'},     {"C:\\Windows\\Inf", 'I'},
        {"C:\\WINDOWS\\system32", 'S'}, {"C:\\WINDOWS\\SYSTEM32\\drivers", 'D'},
        {"D:\\WINDOWS", 'D'},           {"C:\\Src", 'D'},
        {"C:\\WINDOWS\\", 'D'},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DefaultDestination(c.folder, windows), c.code) << c.folder;
    }
}

TEST(DestinationCodes, WithoutAWindowsFolderOnlyTheSystemFolderIsKnown) {
    const DefaultFolders posix{"", "/opt/velaset/system/", '/'};
    EXPECT_EQ(DefaultDestination("/opt/velaset/system", posix), 'S');
    EXPECT_EQ(DefaultDestination("/help", posix), 'D');
    EXPECT_EQ(DefaultDestination("/inf", posix), 'D');
    EXPECT_EQ(DefaultDestination("", posix), 'D');
    const DefaultFolders withWindows{"/win", "/win/system", '/'};
    EXPECT_EQ(DefaultDestination("/WIN/HELP", withWindows), 'H');
    EXPECT_EQ(DefaultDestination("/win/system", withWindows), 'S');
}

} // namespace
} // namespace velaset
