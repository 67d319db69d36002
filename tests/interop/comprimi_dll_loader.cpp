// Loads Compress.dll by name, as the wizard does, and calls Comprimi once:
// comprimi_dll_loader CABDIR BASE LIST MAXSIZE. Exits 0 when Comprimi answered 1.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

typedef int(__stdcall* ComprimiFn)(const char*, const char*, const char*, unsigned);

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: comprimi_dll_loader CABDIR BASE LIST MAXSIZE\n");
        return 2;
    }
    HMODULE library = LoadLibraryA("Compress.dll");
    if (library == nullptr) {
        std::fprintf(stderr, "LoadLibrary(Compress.dll) failed: %lu\n", GetLastError());
        return 3;
    }
    ComprimiFn comprimi = reinterpret_cast<ComprimiFn>(GetProcAddress(library, "Comprimi"));
    if (comprimi == nullptr) {
        std::fprintf(stderr, "GetProcAddress(Comprimi) failed\n");
        return 4;
    }
    int result = comprimi(argv[1], argv[2], argv[3],
                          static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)));
    std::printf("Comprimi answered %d\n", result);
    FreeLibrary(library);
    return result == 1 ? 0 : 1;
}
