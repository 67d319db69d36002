// Test support for the cabinet library: scratch folders, source files, calls of Comprimi
// with recorded messages, and (natively) the cabextract oracle.
#ifndef VELASET_TESTS_COMPRESS_CABINET_TEST_SUPPORT_H
#define VELASET_TESTS_COMPRESS_CABINET_TEST_SUPPORT_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "compress/cabinet_types.h"
#include "compress/cabinet_writer.h"
#include "compress/client.h"
#include "compress/comprimi.h"
#include "compress/folder_prefetch.h"
#include "tests/compress/cabinet_reader.h"

// A fresh folder under the system's temporary folder, removed with the object. Spill
// files of the calls made while it lives go to its "spill" subfolder.
class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    const std::string& path() const { return path_; }
    // path + separator + name
    std::string File(const std::string& name) const;
    // The folder prefix that Comprimi takes: path + separator.
    std::string CabDir() const;
    std::string SpillDir() const { return File("spill"); }
    std::vector<std::string> SpillFiles() const;
    // Names of the files directly in the folder (not in subfolders), sorted.
    std::vector<std::string> Names() const;

  private:
    std::string path_;
    std::string savedTemp_;
};

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
std::vector<uint8_t> RandomBytes(size_t count, uint32_t seed);
// Compressible text: numbered lines.
std::vector<uint8_t> TextBytes(size_t count);

// The cabinet writer driven directly, writing w.CAB (set ID 12345) into a scratch folder
// of its own or the given one.
struct Writer {
    std::unique_ptr<ScratchDir> ownDir; // when no folder is given
    const ScratchDir& dir;
    velaset::compress::ComprimiSettings settings;
    velaset::compress::CabinetCallbacks cb;
    velaset::compress::CabError err;
    velaset::compress::CabContext* cab = nullptr;

    explicit Writer(uint32_t sizeLimit = 0, const velaset::compress::CabinetCallbacks& callbacks =
                                                velaset::compress::PlatformCallbacks())
        : Writer(nullptr, sizeLimit, callbacks) {}
    Writer(const ScratchDir* in, uint32_t sizeLimit,
           const velaset::compress::CabinetCallbacks& callbacks);
    ~Writer();
    // Writes the source (its time a day back, the same for every source of the test program,
    // so that cabinets written at different moments compare byte for byte) and adds it.
    bool Add(const std::string& name, const std::vector<uint8_t>& bytes,
             const std::string& stored = "");
    // Adds the folder's file `name`, stored under its name.
    bool AddSource(const std::string& name, const std::string& stored = "");
    bool Flush();
    bool Finish(); // flushes the cabinet and destroys the writer
    ReadCabinet Read(const std::string& name = "w.CAB") const;
};

struct ComprimiRun {
    int result = -1;
    std::vector<std::pair<std::string, std::string>> messages; // title, text
};
ComprimiRun RunComprimi(
    const std::string& cabDir, const std::string& base, const std::string& list, uint32_t maxSize,
    const velaset::compress::CabinetCallbacks& callbacks = velaset::compress::PlatformCallbacks(),
    unsigned threads = 1, velaset::compress::ComprimiProgressFn progress = nullptr,
    void* progressContext = nullptr,
    const velaset::compress::PieceSettings& pieces = velaset::compress::kDefaultPieces,
    const velaset::compress::CompressionChoice& choice = velaset::compress::kComprimiChoice);

// The files of the folder whose names start with `base`, by the rest of their names, with
// their bytes; the files are removed.
std::map<std::string, std::vector<uint8_t>> TakeCabinets(const ScratchDir& dir,
                                                         const std::string& base);

// Files of a cabinet set, first to last, following the next-cabinet names.
std::vector<std::string> CabinetSet(const std::string& dir, const std::string& first);

// One source of a cabinet: where it is and the name it must have in the cabinet.
struct Source {
    std::string path;
    std::string name;
};

// Checks a written cabinet (or set, given its first cabinet) with the test reader and,
// natively, with cabextract: extraction passes every checksum and gives the sources byte
// for byte with their dates and read-only attribute. Reports failures through GoogleTest.
void ExpectCabextractAgrees(const std::string& firstCabinet, const std::vector<Source>& sources);

// Runs a shell command natively; answers its exit status and output.
int RunCommand(const std::string& command, std::string* output);

#endif
