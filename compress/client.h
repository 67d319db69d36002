// The client callbacks that Comprimi hands to the cabinet writer.
#ifndef VELASET_COMPRESS_CLIENT_H
#define VELASET_COMPRESS_CLIENT_H

#include "compress/cabinet_types.h"

namespace velaset::compress {

// Settings of one Comprimi call; the callbacks receive them as their context value.
struct ComprimiSettings {
    char cabinetDir[256];  // prefix of every cabinet file path
    char cabinetBase[100]; // base of the cabinet names
    uint32_t sizeLimit;
    ComprimiProgressFn progress = nullptr; // null: the caller wants no progress
    void* progressContext = nullptr;
    bool stopped = false; // the caller's progress asked to stop
};

// Cabinet naming rule: number 1 is base + ".CAB", number n >= 2 is base + n + ".CAB".
void CabinetName(const char* base, int number, char* name, int size);

// The callbacks of this platform: the C runtime's heap and low-level files, temporary
// names, source-file information and cabinet naming; progress goes to the caller's
// progress callback of the settings, and its answer may stop the writer.
CabinetCallbacks PlatformCallbacks();

// The name under which a source file is stored: the part of its path after the last
// separator of this platform, the whole path when there is none.
const char* StoredName(const char* path);

// Platform parts, one implementation per build.
int ClientOpen(const char* path, int flags, int permission, int* err, void* context);
int ClientRead(int handle, void* buffer, uint32_t count, int* err, void* context);
int ClientWrite(int handle, const void* buffer, uint32_t count, int* err, void* context);
int ClientClose(int handle, int* err, void* context);
long ClientSeek(int handle, long distance, int origin, int* err, void* context);
int ClientDelete(const char* path, int* err, void* context);
bool ClientTempName(char* buffer, int size, void* context);
int ClientOpenSource(const char* path, uint16_t* date, uint16_t* time, uint16_t* attributes,
                     int* err, void* context);
char ClientPathSeparator();

} // namespace velaset::compress

#endif
