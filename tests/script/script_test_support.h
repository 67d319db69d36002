// Shared by the setup-script tests: the golden files of tests/data/script.
#ifndef VELASET_TESTS_SCRIPT_SCRIPT_TEST_SUPPORT_H
#define VELASET_TESTS_SCRIPT_SCRIPT_TEST_SUPPORT_H

#include <string>

namespace velaset {
namespace testing {

// The bytes of tests/data/script/NAME.
std::string Golden(const std::string& name);

// `text` with every occurrence of `from` replaced by `to`.
std::string ReplaceAll(std::string text, const std::string& from, const std::string& to);

} // namespace testing
} // namespace velaset

#endif
