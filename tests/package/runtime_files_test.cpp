#include "builder/package/runtime_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "builder/package/pe_machine.h"
#include "builder/package/setup_executable.h"
#include "builder/project/failure_text.h"
#include "common/constants.h"
#include "platform/folders.h"
#include "platform/source_path.h"
#include "tests/package/fake_stub.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

using velaset_test::ScratchFolder;

TEST(FindInFolders, TakesTheFirstFolderThatHoldsTheFileAndNamesEveryPlaceLookedAt) {
    ScratchFolder folder;
    const std::string first = folder.Path("uno"), second = folder.Path("due"),
                      third = folder.Path("tre");
    for (const std::string& f : {first, second, third})
        ASSERT_TRUE(platform::MakeDirectory(f).ok);
    ASSERT_TRUE(ScratchFolder::WriteBytes(platform::JoinSourcePath(second, "Avviora.exe"), "MZ"));
    ASSERT_TRUE(ScratchFolder::WriteBytes(platform::JoinSourcePath(third, "Avviora.exe"), "MZ"));

    std::string found;
    std::vector<std::string> lookedAt;
    ASSERT_TRUE(FindInFolders({first, second, third}, "Avviora.exe", &found, &lookedAt));
    EXPECT_EQ(found, platform::JoinSourcePath(second, "Avviora.exe"));
    EXPECT_EQ(lookedAt,
              (std::vector<std::string>{platform::JoinSourcePath(first, "Avviora.exe"),
                                        platform::JoinSourcePath(second, "Avviora.exe")}));

    lookedAt.clear();
    EXPECT_FALSE(FindInFolders({first}, "avviora.dll", &found, &lookedAt));
    EXPECT_EQ(lookedAt, (std::vector<std::string>{platform::JoinSourcePath(first, "avviora.dll")}));
}

// x86: the system folder, then beside the program; x64: the system folder, then the
// "x64" sub-folder of each x86 folder. No folder twice.
TEST(RuntimeSearchFolders, StartWithTheSystemFolderAndKeepTheX64FilesInTheirSubFolder) {
    const std::string system = platform::WithoutTrailingSeparator(platform::SystemFolder());
    const std::vector<std::string> x86 = RuntimeSearchFolders(Architecture::X86);
    const std::vector<std::string> x64 = RuntimeSearchFolders(Architecture::X64);
    ASSERT_FALSE(x86.empty());
    ASSERT_GE(x64.size(), 2u);
    EXPECT_EQ(x86.front(), system);
    EXPECT_EQ(x64.front(), system);
    EXPECT_EQ(x64[1], platform::JoinSourcePath(system, "x64"));
    for (std::size_t i = 1; i < x64.size(); ++i)
        EXPECT_EQ(platform::SourceFileName(x64[i]), "x64") << x64[i];
    for (const std::string& folder : x86)
        EXPECT_NE(std::find(x64.begin(), x64.end(), platform::JoinSourcePath(folder, "x64")),
                  x64.end())
            << folder;
    for (const std::vector<std::string>* folders : {&x86, &x64})
        EXPECT_EQ(std::set<std::string>(folders->begin(), folders->end()).size(), folders->size());
}

// Where an x64 package was installed, the system folder holds the 64-bit runtime.
TEST(LocateRuntimeLibrary, TakesTheFirstLibraryOfThePackagesArchitecture) {
    ScratchFolder folder;
    const std::string system = folder.MakeFolder("system32");
    const std::string beside = folder.MakeFolder("bin");
    const std::string x64 = folder.MakeFolder("bin/x64");
    const std::string dll = "avviora.dll";
    ASSERT_TRUE(ScratchFolder::WriteBytes(platform::JoinSourcePath(system, dll),
                                          FakeLibrary(kMachineAmd64, "installed")));
    ASSERT_TRUE(ScratchFolder::WriteBytes(platform::JoinSourcePath(beside, dll),
                                          FakeLibrary(kMachineI386, "32")));
    ASSERT_TRUE(ScratchFolder::WriteBytes(platform::JoinSourcePath(x64, dll),
                                          FakeLibrary(kMachineAmd64, "64")));

    std::string found;
    ASSERT_TRUE(LocateRuntimeLibraryIn({system, beside}, Architecture::X86, &found));
    EXPECT_EQ(found, platform::JoinSourcePath(beside, dll));
    ASSERT_TRUE(LocateRuntimeLibraryIn({system, x64}, Architecture::X64, &found));
    EXPECT_EQ(found, platform::JoinSourcePath(system, dll));
    ASSERT_TRUE(LocateRuntimeLibraryIn({beside, x64}, Architecture::X64, &found));
    EXPECT_EQ(found, platform::JoinSourcePath(x64, dll));

    platform::Status none = LocateRuntimeLibraryIn({system, x64}, Architecture::X86, &found);
    EXPECT_FALSE(none.ok);
    EXPECT_EQ(none.kind, platform::ErrorKind::NotFound);
    EXPECT_EQ(FailureText(none),
              "Impossibile trovare avviora.dll per x86 (32 bit); cercato in: " +
                  platform::JoinSourcePath(system, dll) + ", " +
                  platform::JoinSourcePath(x64, dll) + "; " + platform::JoinSourcePath(system, dll) +
                  " è a 64 bit (x64); " + platform::JoinSourcePath(x64, dll) + " è a 64 bit (x64)");
    const std::string empty = folder.MakeFolder("vuota");
    EXPECT_EQ(FailureText(LocateRuntimeLibraryIn({empty}, Architecture::X86, &found)),
              "Impossibile trovare avviora.dll; cercato in: " + platform::JoinSourcePath(empty, dll));
    EXPECT_EQ(FailureText(LocateRuntimeLibraryIn({empty}, Architecture::X64, &found)),
              "Impossibile trovare avviora.dll per x64 (64 bit); cercato in: " +
                  platform::JoinSourcePath(empty, dll));
}

// In the wizard's file either stub follows the builder's image. A refusal names the file
// and leaves the image as it was.
TEST(ReadStubImage, TakesOnlyAStubOfItsSizeAndArchitectureAtItsOffset) {
    ScratchFolder folder;
    const std::string stub32 = FakeStubImage(STUB_IMAGE_SIZE);
    const std::string stub64 = FakeStubImage(STUB64_IMAGE_SIZE, kMachineAmd64);
    const std::string wizard = std::string(300, 'b') + stub32 + stub64;
    const std::int64_t size = static_cast<std::int64_t>(wizard.size());
    const std::string at = "Il programma di installazione in " + folder.Path("Avviora.exe");
    const Architecture x86 = Architecture::X86, x64 = Architecture::X64;
    const struct {
        const char* what;
        std::string file; // the content of Avviora.exe
        std::int64_t offset, fileSize;
        Architecture architecture;
        std::string read;    // the image read; empty: refused
        std::string message; // the refusal's whole text; empty: any that names the file
    } cases[] = {
        {"a stub file", stub32, 0, 0, x86, stub32, ""},
        {"after 100 bytes", std::string(100, 'b') + stub32, 100, 0, x86, stub32, ""},
        {"the wizard's 32-bit stub", wizard, 300, size, x86, stub32, ""},
        {"the wizard's 64-bit stub", wizard, 300 + STUB_IMAGE_SIZE, size, x64, stub64, ""},
        {"the 32-bit one for x64", wizard, 300, size, x64, "",
         at + " (dal byte 300) è a 32 bit (x86): un pacchetto x64 (64 bit) richiede Avviora64.exe"},
        {"the file shorter than told", wizard, 300, size + 1, x86, "",
         at + " non è valido: dal byte 300 servono 14336 byte di un programma Windows in un " +
             "file di " + std::to_string(size + 1) + " byte, il file ne ha " +
             std::to_string(size)},
        {"a byte too early", std::string(100, 'b') + stub32, 99, 0, x86, "", ""},
        {"one byte short", FakeStubImage(STUB_IMAGE_SIZE - 1), 0, 0, x86, "", ""},
        {"one byte long", FakeStubImage(STUB_IMAGE_SIZE + 1), 0, 0, x86, "", ""},
        {"not a program", std::string(STUB_IMAGE_SIZE, 'x'), 0, 0, x86, "", ""},
        {"no PE header", "MZ" + std::string(STUB_IMAGE_SIZE - 2, 'x'), 0, 0, x86, "", ""},
        {"a 64-bit program", FakeStubImage(STUB_IMAGE_SIZE, kMachineAmd64), 0, 0, x86, "", ""},
        {"empty", "", 0, 0, x86, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const StubImage image{folder.WriteFile("Avviora.exe", c.file), c.offset, c.fileSize};
        std::string bytes = "unchanged";
        const platform::Status read = ReadStubImage(image, c.architecture, &bytes);
        EXPECT_EQ(read.ok, !c.read.empty()) << read.message;
        EXPECT_EQ(bytes, c.read.empty() ? "unchanged" : c.read);
        if (c.read.empty())
            EXPECT_EQ(read.kind, platform::ErrorKind::Refused);
        if (c.read.empty() && c.message.empty())
            EXPECT_EQ(read.message.rfind(at, 0), 0u) << read.message;
        else
            EXPECT_EQ(read.message, c.message);
    }
    std::string bytes;
    const platform::Status missing =
        ReadStubImage(StubImage{folder.Path("manca.exe"), 0}, Architecture::X86, &bytes);
    EXPECT_EQ(missing.kind, platform::ErrorKind::NotFound);
    EXPECT_EQ(
        FailureText(missing).rfind("Impossibile leggere " + folder.Path("manca.exe") + ", ", 0),
        0u);
}

TEST(PeMachine, ReadsTheMachineFieldWhereTheHeaderPointsAndNothingElse) {
    EXPECT_EQ(PeMachineOfImage(FakeStubImage(512)), PeMachine::I386);
    EXPECT_EQ(PeMachineOfImage(FakeStubImage(512, kMachineAmd64)), PeMachine::Amd64);
    EXPECT_EQ(PeMachineOfImage(FakeStubImage(512, 0xAA64)), PeMachine::Other);
    EXPECT_EQ(PeMachineOfImage("xx" + FakeStubImage(512, kMachineAmd64), 2), PeMachine::Amd64);
    std::string noSignature = FakeStubImage(512);
    noSignature[0x41] = 'X';
    EXPECT_EQ(PeMachineOfImage(noSignature), PeMachine::NotAnImage);
    std::string beyond = FakeStubImage(512);
    beyond[0x3D] = '\x7F'; // the signature would lie past the end
    EXPECT_EQ(PeMachineOfImage(beyond), PeMachine::NotAnImage);
    EXPECT_EQ(PeMachineOfImage("MZ"), PeMachine::NotAnImage);
    EXPECT_EQ(PeMachineOfImage(FakeStubImage(0x45)), PeMachine::NotAnImage) << "cut short";

    ScratchFolder folder;
    PeMachine machine = PeMachine::I386;
    ASSERT_TRUE(ReadPeMachine(folder.WriteFile("a.dll", FakeLibrary(kMachineAmd64, "x")), &machine));
    EXPECT_EQ(machine, PeMachine::Amd64);
    ASSERT_TRUE(ReadPeMachine(folder.WriteFile("b.dll", beyond), &machine));
    EXPECT_EQ(machine, PeMachine::NotAnImage);
    ASSERT_TRUE(ReadPeMachine(folder.WriteFile("c.dll", ""), &machine));
    EXPECT_EQ(machine, PeMachine::NotAnImage);
    EXPECT_EQ(ReadPeMachine(folder.Path("manca.dll"), &machine).operation,
              platform::Operation::Read);
}

std::string PatternBytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 31 + i / 251) & 0xFF);
    return bytes;
}

// Sizes around the 64 KB copy block: none, one byte, one block, a block and a part.
TEST(SetupExecutable, IsTheStubImageFollowedByTheWholeCabinet) {
    for (std::size_t size : {0u, 1u, 65536u, 150001u}) {
        SCOPED_TRACE(size);
        ScratchFolder folder;
        const std::string stub = FakeStubImage(STUB_IMAGE_SIZE);
        const std::string cabinet = PatternBytes(size);
        const std::string exe = folder.Path("Setup.exe");
        platform::FileReplacement replacement;
        ASSERT_TRUE(replacement.Begin(exe).ok);
        ASSERT_TRUE(InserisciDLL(replacement, stub).ok);
        ASSERT_TRUE(InserisciFile(replacement, folder.WriteFile("setup.CAB", cabinet)).ok);
        ASSERT_TRUE(replacement.Commit().ok);
        EXPECT_EQ(ScratchFolder::ReadFile(exe), stub + cabinet);
    }
}

// For the machine, and for an image without the one level, nothing changes.
TEST(SetupExecutable, APackageForOneUserAsksForNoAdministrator) {
    const std::string tag = "<requestedExecutionLevel level=\"requireAdministrator\"/>";
    const std::string image = FakeStubImage(STUB_IMAGE_SIZE).replace(600, tag.size(), tag);
    std::string forUser = image, forMachine = image;
    ASSERT_TRUE(SetExecutionLevel(&forUser, Scope::User));
    EXPECT_EQ(forUser.size(), image.size());
    EXPECT_EQ(forUser.substr(600, tag.size()),
              "<requestedExecutionLevel level=\"asInvoker\"           />");
    EXPECT_EQ(forUser.substr(0, 600) + forUser.substr(600 + tag.size()),
              image.substr(0, 600) + image.substr(600 + tag.size()));
    ASSERT_TRUE(SetExecutionLevel(&forMachine, Scope::Machine));
    EXPECT_EQ(forMachine, image);
    for (std::string odd : {FakeStubImage(STUB_IMAGE_SIZE), image + tag}) {
        const std::string before = odd;
        EXPECT_FALSE(SetExecutionLevel(&odd, Scope::User));
        EXPECT_EQ(odd, before);
    }
}

} // namespace
} // namespace velaset
