// Loads Compress.dll by name, as the wizard does, and calls Comprimi once:
//   comprimi_dll_loader CABDIR BASE LIST MAXSIZE
// or its second export ComprimiConAvanzamento, printing the bytes it was told and
// answering "stop" at call STOPAT (0: never):
//   comprimi_dll_loader CABDIR BASE LIST MAXSIZE STOPAT
// or its third export ComprimiConMetodo with the compression type METODO (decimal):
//   comprimi_dll_loader CABDIR BASE LIST MAXSIZE STOPAT METODO
// Exits 0 when the call answered 1.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

typedef int(__stdcall* ComprimiFn)(const char*, const char*, const char*, unsigned);
typedef int(__stdcall* ProgressFn)(std::uint32_t, void*);
typedef int(__stdcall* ComprimiConAvanzamentoFn)(const char*, const char*, const char*, unsigned,
                                                 ProgressFn, void*);
typedef int(__stdcall* ComprimiConMetodoFn)(const char*, const char*, const char*, unsigned,
                                            unsigned, ProgressFn, void*);

namespace {

struct Told {
    unsigned long long bytes = 0;
    unsigned calls = 0;
    unsigned stopAt = 0;
};

int __stdcall Tell(std::uint32_t bytes, void* context) {
    Told* told = static_cast<Told*>(context);
    told->bytes += bytes;
    told->calls++;
    return told->stopAt != 0 && told->calls >= told->stopAt ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5 || argc > 7) {
        std::fprintf(stderr,
                     "usage: comprimi_dll_loader CABDIR BASE LIST MAXSIZE [STOPAT [METODO]]\n");
        return 2;
    }
    HMODULE library = LoadLibraryA("Compress.dll");
    if (library == nullptr) {
        std::fprintf(stderr, "LoadLibrary(Compress.dll) failed: %lu\n", GetLastError());
        return 3;
    }
    const unsigned limit = static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10));
    int result;
    if (argc == 5) {
        ComprimiFn comprimi = reinterpret_cast<ComprimiFn>(GetProcAddress(library, "Comprimi"));
        if (comprimi == nullptr) {
            std::fprintf(stderr, "GetProcAddress(Comprimi) failed\n");
            return 4;
        }
        result = comprimi(argv[1], argv[2], argv[3], limit);
        std::printf("Comprimi answered %d\n", result);
    } else if (argc == 7) {
        ComprimiConMetodoFn comprimi =
            reinterpret_cast<ComprimiConMetodoFn>(GetProcAddress(library, "ComprimiConMetodo"));
        if (comprimi == nullptr) {
            std::fprintf(stderr, "GetProcAddress(ComprimiConMetodo) failed\n");
            return 4;
        }
        Told told;
        told.stopAt = static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10));
        result = comprimi(argv[1], argv[2], argv[3], limit,
                          static_cast<unsigned>(std::strtoul(argv[6], nullptr, 10)), Tell, &told);
        std::printf("ComprimiConMetodo answered %d\nbytes %llu calls %u\n", result, told.bytes,
                    told.calls);
    } else {
        ComprimiConAvanzamentoFn comprimi = reinterpret_cast<ComprimiConAvanzamentoFn>(
            GetProcAddress(library, "ComprimiConAvanzamento"));
        if (comprimi == nullptr) {
            std::fprintf(stderr, "GetProcAddress(ComprimiConAvanzamento) failed\n");
            return 4;
        }
        Told told;
        told.stopAt = static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10));
        result = comprimi(argv[1], argv[2], argv[3], limit, Tell, &told);
        std::printf("ComprimiConAvanzamento answered %d\nbytes %llu calls %u\n", result,
                    told.bytes, told.calls);
    }
    FreeLibrary(library);
    return result == 1 ? 0 : 1;
}
