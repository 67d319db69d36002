// The parsed file list of one Comprimi call: source paths and folder closes in list order.
#ifndef VELASET_COMPRESS_ENTRY_TABLE_H
#define VELASET_COMPRESS_ENTRY_TABLE_H

#include <cstdint>

#include "compress/cabinet_types.h"

namespace velaset::compress {

// Storage comes from the client's allocator and grows to what the list needs. An entry is
// a source path, or the folder-close marker when it is null.
struct EntryTable {
    char** entries;
    uint32_t count;
    uint32_t capacity;
    ClientAllocFn alloc;
    ClientFreeFn release;
};

// Splits the list at every "+": each "+" ends the path before it (even an empty one) and
// closes the folder after it; the text after the last "+" is the final path. With joined,
// a "|" ends the path before it too, and the next one goes into the same folder (neither
// character can stand in a Windows path). Answers false when memory ran out; the table
// is then empty.
bool ParseFileList(const char* fileList, ClientAllocFn alloc, ClientFreeFn release,
                   EntryTable* table, bool joined = false);
void FreeEntryTable(EntryTable* table);

} // namespace velaset::compress

#endif
