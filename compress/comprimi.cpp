// Comprimi: parses the file list and runs one build sequence of the cabinet writer.
#include "compress/comprimi.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "compress/cabinet_writer.h"
#include "compress/client.h"
#include "compress/entry_table.h"
#include "compress/error_text.h"
#include "compress/folder_prefetch.h"
#include "compress/library_ui.h"
#include "compress/open_folder.h"
#include "compress/worker_thread.h"

namespace velaset::compress {

namespace {

const char kTitle[] = "DarEvizeza";
const uint32_t kFolderThreshold = 900000;
const uint16_t kSetId = 12345;

// Shows one box whose text is formatted to the length it needs.
void Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length < 0) {
        return;
    }
    // Paths may be long; without memory for all of it the box shows the start.
    char shortText[512];
    char* text = static_cast<char*>(std::malloc(length + 1));
    size_t size = length + 1;
    if (text == nullptr) {
        text = shortText;
        size = sizeof shortText;
    }
    va_start(args, format);
    std::vsnprintf(text, size, format, args);
    va_end(args);
    LibraryMessage(kTitle, text);
    if (text != shortText) {
        std::free(text);
    }
}

void Copy(char* to, size_t size, const char* from) {
    std::strncpy(to, from, size - 1);
    to[size - 1] = '\0';
}

bool RunBuildSequence(char* const* entries, uint32_t count, ComprimiSettings* settings,
                      const CabinetCallbacks& cb, unsigned threads, const PieceSettings& pieces,
                      const CompressionChoice& choice) {
    // A failure that follows the caller's wish to stop is no error to tell.
    auto report = [settings](const char* operation, const CabError& err, const char* path) {
        if (settings->stopped) {
            return;
        }
        if (path != nullptr) {
            Report("%s() failed: code %d [%s] <%s>\n", operation, err.code, CabErrorText(err.code),
                   path);
        } else {
            Report("%s() failed: code %d [%s]\n", operation, err.code, CabErrorText(err.code));
        }
    };
    CabinetParams params;
    std::memset(&params, 0, sizeof params);
    params.sizeLimit = settings->sizeLimit;
    params.folderThreshold = kFolderThreshold;
    params.cabinetNumber = 1;
    params.diskNumber = 0;
    params.setId = kSetId;
    Copy(params.diskName, sizeof params.diskName, settings->cabinetBase);
    Copy(params.cabinetPath, sizeof params.cabinetPath, settings->cabinetDir);
    CabinetName(settings->cabinetBase, 1, params.cabinetName, sizeof params.cabinetName);

    CabError err;
    CabContext* cab =
        FCICreate(&err, cb.filePlaced, cb.alloc, cb.release, cb.open, cb.read, cb.write, cb.close,
                  cb.seek, cb.remove, cb.tempName, &params, settings);
    if (cab == nullptr) {
        Report("FCICreate() failed: code %d [%s]\n", err.code, CabErrorText(err.code));
        return false;
    }
    bool ok = true;
    if (choice.type != kCompressionMsZip) {
        FCISetLzx(cab, choice.lzx, threads);
    } else if (threads > 1) {
        StartFolderPrefetch(cab, entries, count, cb.openSource, threads, pieces);
    }
    for (uint32_t i = 0; ok && i < count; i++) {
        const char* path = entries[i];
        if (path == nullptr) {
            if (!FCIFlushFolder(cab, cb.nextCabinet, cb.progress)) {
                report("FCIFlushFolder", err, nullptr);
                ok = false;
            }
        } else if (!FCIAddFile(cab, path, StoredName(path), cb.nextCabinet, cb.progress,
                               cb.openSource, choice.type)) {
            report("FCIAddFile", err, path);
            ok = false;
        }
    }
    if (ok && !FCIFlushCabinet(cab, cb.nextCabinet, cb.progress)) {
        report("FCIFlushCabinet", err, nullptr);
        ok = false;
    }
    if (!ok) {
        FCIDestroy(cab);
        return false;
    }
    if (!FCIDestroy(cab)) {
        report("FCIDestroy", err, nullptr);
        return false;
    }
    return true;
}

// Checks what the settings' fixed fields can hold.
bool CheckArguments(const char* cabDir, const char* cabBase) {
    if (cabDir == nullptr || std::strlen(cabDir) >= sizeof(ComprimiSettings::cabinetDir)) {
        Report("Cartella del file CAB troppo lunga (al massimo %d caratteri): %s",
               int(sizeof(ComprimiSettings::cabinetDir) - 1), cabDir ? cabDir : "");
        return false;
    }
    if (cabBase == nullptr || std::strlen(cabBase) >= sizeof(ComprimiSettings::cabinetBase)) {
        Report("Nome del file CAB troppo lungo (al massimo %d caratteri): %s",
               int(sizeof(ComprimiSettings::cabinetBase) - 1), cabBase ? cabBase : "");
        return false;
    }
    return true;
}

int Fail(void* savedCursor, bool tell = true) {
    if (tell) {
        LibraryMessage(kTitle, "Impossibile creare il file CAB!!!");
    }
    EndWaitCursor(savedCursor);
    return 0;
}

// The build sequence over the entries, the wait cursor shown by the caller; ends it.
int BuildCabinets(const char* cabDir, const char* cabBase, char* const* entries, uint32_t count,
                  uint32_t maxCabSize, const CabinetCallbacks& callbacks, unsigned threads,
                  ComprimiAvanzamento progress, void* progressContext, const PieceSettings& pieces,
                  const CompressionChoice& choice, void* savedCursor) {
    ComprimiSettings settings;
    settings.sizeLimit = maxCabSize;
    settings.progress = progress;
    settings.progressContext = progressContext;
    settings.stopped = false;
    Copy(settings.cabinetDir, sizeof settings.cabinetDir, cabDir);
    Copy(settings.cabinetBase, sizeof settings.cabinetBase, cabBase);
    if (!RunBuildSequence(entries, count, &settings, callbacks, threads, pieces, choice)) {
        return Fail(savedCursor, !settings.stopped);
    }
    EndWaitCursor(savedCursor);
    return 1;
}

} // namespace

int ComprimiWith(const char* cabDir, const char* cabBase, const char* fileList, uint32_t maxCabSize,
                 const CabinetCallbacks& callbacks, unsigned threads, ComprimiAvanzamento progress,
                 void* progressContext, const PieceSettings& pieces,
                 const CompressionChoice& choice) {
    void* savedCursor = BeginWaitCursor();
    if (!CheckArguments(cabDir, cabBase)) {
        return Fail(savedCursor);
    }
    EntryTable table;
    if (!ParseFileList(fileList != nullptr ? fileList : "", callbacks.alloc, callbacks.release,
                       &table, choice.joined)) {
        // A path left out would give a cabinet that lacks a file: the call fails instead.
        LibraryMessage("", "ERRORE");
        return Fail(savedCursor);
    }
    int made = BuildCabinets(cabDir, cabBase, table.entries, table.count, maxCabSize, callbacks,
                             threads, progress, progressContext, pieces, choice, savedCursor);
    FreeEntryTable(&table);
    return made;
}

int ComprimiEntries(const char* cabDir, const char* cabBase, char* const* entries, uint32_t count,
                    uint32_t maxCabSize, const CabinetCallbacks& callbacks, unsigned threads,
                    ComprimiAvanzamento progress, void* progressContext,
                    const CompressionChoice& choice) {
    void* savedCursor = BeginWaitCursor();
    if (!CheckArguments(cabDir, cabBase)) {
        return Fail(savedCursor);
    }
    return BuildCabinets(cabDir, cabBase, entries, count, maxCabSize, callbacks, threads, progress,
                         progressContext, kDefaultPieces, choice, savedCursor);
}

unsigned ComprimiThreads() {
    // The packages are the same whatever the number; VELASET_COMPRESS_THREADS (1 to 4)
    // chooses it, for comparing and measuring.
    const char* chosen = std::getenv("VELASET_COMPRESS_THREADS");
    if (chosen != nullptr && chosen[0] >= '1' && chosen[0] <= '4' && chosen[1] == '\0') {
        return static_cast<unsigned>(chosen[0] - '0');
    }
    unsigned count = ProcessorCount();
    return count < 1 ? 1 : count > 4 ? 4 : count;
}

} // namespace velaset::compress

extern "C" int COMPRIMI_CALL Comprimi(const char* cabDir, const char* cabBase, const char* fileList,
                                      uint32_t maxCabSize) {
    return ComprimiConAvanzamento(cabDir, cabBase, fileList, maxCabSize, nullptr, nullptr);
}

extern "C" int COMPRIMI_CALL ComprimiConAvanzamento(const char* cabDir, const char* cabBase,
                                                    const char* fileList, uint32_t maxCabSize,
                                                    ComprimiAvanzamento progress, void* context) {
    using namespace velaset::compress;
    return ComprimiWith(cabDir, cabBase, fileList, maxCabSize, PlatformCallbacks(),
                        ComprimiThreads(), progress, context);
}

extern "C" int COMPRIMI_CALL ComprimiConMetodo(const char* cabDir, const char* cabBase,
                                               const char* fileList, uint32_t maxCabSize,
                                               uint32_t metodo, ComprimiAvanzamento progress,
                                               void* context) {
    using namespace velaset::compress;
    CompressionChoice choice = {static_cast<uint16_t>(metodo), true, kDefaultLzx};
    if (metodo > 0xFFFF || (metodo != kCompressionMsZip && !IsLzxType(choice.type))) {
        LibraryMessage("DarEvizeza", "Metodo di compressione sconosciuto.");
        return 0;
    }
    return ComprimiWith(cabDir, cabBase, fileList, maxCabSize, PlatformCallbacks(),
                        ComprimiThreads(), progress, context, kDefaultPieces, choice);
}
