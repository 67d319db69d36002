// What the fuzz targets share: the failure report, data made from a few fuzz bytes, the
// run of Comprimi over an in-memory disk with what it must leave behind, and a private
// folder with a few source files for the targets that work on files.
#ifndef VELASET_TESTS_FUZZ_FUZZ_SUPPORT_H
#define VELASET_TESTS_FUZZ_FUZZ_SUPPORT_H

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "compress/comprimi.h"
#include "tests/compress/cabinet_check.h"
#include "tests/compress/memory_disk.h"

namespace fuzz {

// Prints "PROGRAM: what" and aborts: the finding.
[[noreturn]] void Fail(const std::string& what);

// Reads a size and a kind from the provider and returns that many bytes (up to maxSize,
// so that small inputs still reach full blocks): taken as they are from the input, a
// short pattern repeated, a pattern with scattered changes, bytes from a small alphabet,
// or pseudo-random bytes.
std::vector<uint8_t> ConsumeBlock(FuzzedDataProvider& in, uint32_t maxSize);

// A file of up to maxBlocks full blocks: blocks of ConsumeBlock, each repeated 1 to 64
// times; once the input is spent, a count (the size so far >> countShift) goes on.
std::vector<uint8_t> ConsumeFile(FuzzedDataProvider& in, size_t maxBlocks, unsigned countShift);

// The text without the given blank characters at its ends.
std::string Trim(const std::string& text, const char* blanks);

// A value that the profile dialect reads back otherwise: quoted, with ' or ".
bool Quoted(const std::string& value);

// The lines of a setup script; fails on a NUL byte, a CR or LF out of a CR LF pair, or
// a last line without its CR LF.
std::vector<std::string> ScriptLines(const std::string& text);

// Fails, naming the run, on misuse of the disk's callbacks, an open handle, a memory
// block not released or (unless spillMayStay) a spill file left behind.
void CheckNothingLeft(const cabinet_test::MemoryDisk& disk, const std::string& run,
                      bool spillMayStay = false);

// ComprimiWith(cabinets "setup" in no folder) over the callbacks, the library's boxes
// recorded as "title|text" into *messages.
int RunComprimi(
    const velaset::compress::CabinetCallbacks& callbacks, const std::string& list,
    uint32_t maxCabSize, unsigned threads, std::vector<std::string>* messages,
    const velaset::compress::PieceSettings& pieces = velaset::compress::kDefaultPieces,
    const velaset::compress::CompressionChoice& choice = velaset::compress::kComprimiChoice);

// What RunComprimi writes for the list over a fresh disk with the sources, the cabinets
// named by the library's own rule; fails, naming the threads, when Comprimi fails or
// leaves anything behind.
std::map<std::string, std::vector<uint8_t>> BuildCabinets(
    const std::map<std::string, cabinet_test::SourceFile>& sources, const std::string& list,
    uint32_t maxCabSize, unsigned threads,
    const velaset::compress::PieceSettings& pieces = velaset::compress::kDefaultPieces,
    const velaset::compress::CompressionChoice& choice = velaset::compress::kComprimiChoice);

// The cabinets of the disk named name(1), name(2)... up to the first missing one, in a
// set whose disks are diskName(1), diskName(2)...
cabinet_test::CabinetSet CabinetsOf(const cabinet_test::MemoryDisk& disk,
                                    const std::function<std::string(int)>& name,
                                    const std::function<std::string(int)>& diskName);

// The fixture folder (absolute, without a trailing "/"), made at the first call and
// removed at exit. It holds app.exe, "Guida lunga.hlp", "Documento largo.txt",
// "Documento lungo.txt", "Però.txt", readme.txt, "sub dir/lib.dll" and the empty out/.
const std::string& FixtureFolder();

// Writes bytes to a file of the fixture folder, replacing it; answers its path.
std::string WriteFixtureFile(const std::string& name, const void* data, size_t size);

// The fixture folder is the current directory for the life of the object, so that the
// paths in an input can be short and relative.
class InFixture {
  public:
    InFixture();
    ~InFixture();
    InFixture(const InFixture&) = delete;
    InFixture& operator=(const InFixture&) = delete;

  private:
    std::string previous_;
};

} // namespace fuzz

#endif
