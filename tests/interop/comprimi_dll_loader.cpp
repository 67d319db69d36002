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

template <typename Fn>
Fn Export(HMODULE library, const char* name) {
    Fn export_ = reinterpret_cast<Fn>(GetProcAddress(library, name));
    if (export_ == nullptr) {
        std::fprintf(stderr, "GetProcAddress(%s) failed\n", name);
        std::exit(4);
    }
    return export_;
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
    Told told;
    int result;
    if (argc == 5) {
        result = Export<ComprimiFn>(library, "Comprimi")(argv[1], argv[2], argv[3], limit);
    } else if (argc == 7) {
        told.stopAt = static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10));
        result = Export<ComprimiConMetodoFn>(library, "ComprimiConMetodo")(
            argv[1], argv[2], argv[3], limit,
            static_cast<unsigned>(std::strtoul(argv[6], nullptr, 10)), Tell, &told);
    } else {
        told.stopAt = static_cast<unsigned>(std::strtoul(argv[5], nullptr, 10));
        result = Export<ComprimiConAvanzamentoFn>(library, "ComprimiConAvanzamento")(
            argv[1], argv[2], argv[3], limit, Tell, &told);
    }
    std::printf("answered %d\nbytes %llu calls %u\n", result, told.bytes, told.calls);
    FreeLibrary(library);
    return result == 1 ? 0 : 1;
}
