// Parsing the "+"-separated file list of Comprimi.
#include "compress/entry_table.h"

#include <cstring>

namespace velaset::compress {

namespace {

bool Append(EntryTable* table, char* path) {
    if (table->count == table->capacity) {
        uint32_t capacity = table->capacity == 0 ? 16 : table->capacity * 2;
        char** grown = static_cast<char**>(table->alloc(capacity * sizeof(char*)));
        if (grown == nullptr) {
            return false;
        }
        if (table->count > 0) {
            std::memcpy(grown, table->entries, table->count * sizeof(char*));
        }
        if (table->entries != nullptr) {
            table->release(table->entries);
        }
        table->entries = grown;
        table->capacity = capacity;
    }
    table->entries[table->count++] = path;
    return true;
}

bool AppendPath(EntryTable* table, const char* start, size_t length) {
    char* copy = static_cast<char*>(table->alloc(static_cast<uint32_t>(length + 1)));
    if (copy == nullptr) {
        return false;
    }
    std::memcpy(copy, start, length);
    copy[length] = '\0';
    if (!Append(table, copy)) {
        table->release(copy);
        return false;
    }
    return true;
}

} // namespace

bool ParseFileList(const char* fileList, ClientAllocFn alloc, ClientFreeFn release,
                   EntryTable* table, bool joined) {
    table->entries = nullptr;
    table->count = 0;
    table->capacity = 0;
    table->alloc = alloc;
    table->release = release;
    const char* start = fileList;
    for (const char* p = fileList;; p++) {
        if (*p == '+') {
            if (!AppendPath(table, start, p - start) || !Append(table, nullptr)) {
                FreeEntryTable(table);
                return false;
            }
            start = p + 1;
        } else if (joined && *p == '|') {
            if (!AppendPath(table, start, p - start)) {
                FreeEntryTable(table);
                return false;
            }
            start = p + 1;
        } else if (*p == '\0') {
            if (p > start && !AppendPath(table, start, p - start)) {
                FreeEntryTable(table);
                return false;
            }
            return true;
        }
    }
}

void FreeEntryTable(EntryTable* table) {
    for (uint32_t i = 0; i < table->count; i++) {
        if (table->entries[i] != nullptr) {
            table->release(table->entries[i]);
        }
    }
    if (table->entries != nullptr) {
        table->release(table->entries);
    }
    table->entries = nullptr;
    table->count = 0;
    table->capacity = 0;
}

} // namespace velaset::compress
