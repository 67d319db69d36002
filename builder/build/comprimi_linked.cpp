// The native binding of Comprimi: the cabinet library is linked into the program.
#include "builder/build/comprimi_binding.h"

#include "compress/comprimi.h"

namespace velaset {

platform::Status BindComprimi(ComprimiFunction* comprimi) {
    *comprimi = [](const std::string& cabDir, const std::string& cabBase,
                   const std::string& fileList, std::uint32_t maxCabSize) {
        return static_cast<int>(
            Comprimi(cabDir.c_str(), cabBase.c_str(), fileList.c_str(), maxCabSize));
    };
    return platform::Status::Ok();
}

} // namespace velaset
