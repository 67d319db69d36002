// Golden digests of the compressor's output, made natively and compared on every
// platform: the output must be the same everywhere. With VELASET_UPDATE_GOLDEN=1 set,
// the tests write the digests they compute instead.
#ifndef VELASET_TESTS_COMPRESS_GOLDEN_H
#define VELASET_TESTS_COMPRESS_GOLDEN_H

#include <string>

namespace mszip_test {

// Empty when `digest` is the one recorded under `name` (or when it was recorded).
std::string CheckGoldenDigest(const std::string& name, const std::string& digest);

} // namespace mszip_test

#endif
