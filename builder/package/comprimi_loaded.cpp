// The Windows binding of Comprimi: "Compress.dll" loaded by name at the first build, its
// exports called with the entries joined into their list. The second export,
// ComprimiConAvanzamento, is Comprimi with a progress callback; a library without it is
// called through Comprimi, and the build then sees no bytes move. The third,
// ComprimiConMetodo, makes LZX cabinets.
#include "builder/package/comprimi_binding.h"

#include "platform/library_loader.h"
#include "platform/message_box.h"

namespace velaset {

namespace {
// The exports: standard calling convention, 32-bit arguments, 32-bit result.
typedef int(__attribute__((stdcall)) * ComprimiExport)(const char*, const char*, const char*,
                                                       std::uint32_t);
typedef int(__attribute__((stdcall)) * ProgressCallback)(std::uint32_t, void*);
typedef int(__attribute__((stdcall)) * ComprimiConAvanzamentoExport)(
    const char*, const char*, const char*, std::uint32_t, ProgressCallback, void*);

typedef int(__attribute__((stdcall)) * ComprimiConMetodoExport)(
    const char*, const char*, const char*, std::uint32_t, std::uint32_t, ProgressCallback, void*);

ComprimiExport g_comprimi = nullptr;
ComprimiConAvanzamentoExport g_withProgress = nullptr;
ComprimiConMetodoExport g_withMethod = nullptr;

// The entries as the exports' list: each path followed by "+" where its folder ends and
// by "|" where the next path shares it (ComprimiConMetodo only), the last by nothing.
std::string FileList(const std::vector<CabinetEntry>& entries) {
    std::string list;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0)
            list += entries[i - 1].endsFolder ? '+' : '|';
        list += entries[i].path;
    }
    return list;
}

int __attribute__((stdcall)) TellProgress(std::uint32_t bytes, void* context) {
    const CabinetProgress& progress = *static_cast<const CabinetProgress*>(context);
    return progress && !progress(bytes) ? 1 : 0;
}

} // namespace

platform::Status BindComprimi(ComprimiFunction* comprimi) {
    if (g_comprimi == nullptr) {
        void* address = nullptr;
        platform::Status loaded =
            platform::LoadLibraryFunction("Compress.dll", "Comprimi", &address);
        if (!loaded) {
            loaded.operation = platform::Operation::None; // the sentence is the whole message
            loaded.message = "Impossibile caricare Compress.dll, " + loaded.message;
            return loaded;
        }
        g_comprimi = reinterpret_cast<ComprimiExport>(address);
        if (platform::LoadLibraryFunction("Compress.dll", "ComprimiConAvanzamento", &address))
            g_withProgress = reinterpret_cast<ComprimiConAvanzamentoExport>(address);
        if (platform::LoadLibraryFunction("Compress.dll", "ComprimiConMetodo", &address))
            g_withMethod = reinterpret_cast<ComprimiConMetodoExport>(address);
    }
    *comprimi = [](const std::string& cabDir, const std::string& cabBase,
                   const std::vector<CabinetEntry>& entries, std::uint32_t maxCabSize,
                   std::uint32_t method, const CabinetProgress& progress) {
        const std::string fileList = FileList(entries);
        void* context = const_cast<CabinetProgress*>(&progress);
        if (method != kMethodMsZip) {
            // An older library cannot compress otherwise: it says so, as it would.
            if (g_withMethod == nullptr) {
                platform::ShowMessageBox("Velaset",
                                         "Compress.dll non conosce la compressione LZX: serve "
                                         "la versione che esporta ComprimiConMetodo.",
                                         platform::MessageIcon::Stop);
                return 0;
            }
            return g_withMethod(cabDir.c_str(), cabBase.c_str(), fileList.c_str(), maxCabSize,
                                method, TellProgress, context);
        }
        if (g_withProgress == nullptr)
            return g_comprimi(cabDir.c_str(), cabBase.c_str(), fileList.c_str(), maxCabSize);
        return g_withProgress(cabDir.c_str(), cabBase.c_str(), fileList.c_str(), maxCabSize,
                              TellProgress, context);
    };
    return platform::Status::Ok();
}

} // namespace velaset
