// The Windows binding of Comprimi: "Compress.dll" loaded by name at the first build.
#include "builder/package/comprimi_binding.h"

#include "platform/library_loader.h"

namespace velaset {

namespace {
// The export: standard calling convention, four 32-bit arguments, 32-bit result.
typedef int(__attribute__((stdcall)) * ComprimiExport)(const char*, const char*, const char*,
                                                       std::uint32_t);
} // namespace

platform::Status BindComprimi(ComprimiFunction* comprimi) {
    static ComprimiExport bound = nullptr;
    if (bound == nullptr) {
        void* address = nullptr;
        platform::Status loaded =
            platform::LoadLibraryFunction("Compress.dll", "Comprimi", &address);
        if (!loaded) {
            loaded.operation = platform::Operation::None; // the sentence is the whole message
            loaded.message = "Impossibile caricare Compress.dll, " + loaded.message;
            return loaded;
        }
        bound = reinterpret_cast<ComprimiExport>(address);
    }
    *comprimi = [](const std::string& cabDir, const std::string& cabBase,
                   const std::string& fileList, std::uint32_t maxCabSize) {
        return bound(cabDir.c_str(), cabBase.c_str(), fileList.c_str(), maxCabSize);
    };
    return platform::Status::Ok();
}

} // namespace velaset
