#include "tests/script/script_test_support.h"

#include "tests/support/scratch_folder.h"

namespace velaset {
namespace testing {

std::string Golden(const std::string& name) {
    return velaset_test::ScratchFolder::ReadFile(std::string(VELASET_TEST_DATA_DIR) + "/script/" +
                                                 name);
}

std::string ReplaceAll(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

} // namespace testing
} // namespace velaset
