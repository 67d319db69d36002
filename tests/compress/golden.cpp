// Golden digests in tests/data/compress/mszip_digests.txt, one "name digest" a line.
#include "tests/compress/golden.h"

#include <cstdio>
#include <cstdlib>
#include <map>

namespace mszip_test {

namespace {

std::string GoldenPath() {
    return std::string(VELASET_TEST_DATA_DIR) + "/compress/mszip_digests.txt";
}

std::map<std::string, std::string> ReadDigests() {
    std::map<std::string, std::string> digests;
    FILE* f = std::fopen(GoldenPath().c_str(), "r");
    if (f == nullptr)
        return digests;
    char name[128], digest[64];
    while (std::fscanf(f, "%127s %63s", name, digest) == 2)
        digests[name] = digest;
    std::fclose(f);
    return digests;
}

} // namespace

std::string CheckGoldenDigest(const std::string& name, const std::string& digest) {
    std::map<std::string, std::string> digests = ReadDigests();
    const char* update = std::getenv("VELASET_UPDATE_GOLDEN");
    if (update == nullptr || std::string(update) != "1")
        return digest == digests[name]
                   ? ""
                   : name + ": digest " + digest + ", recorded " + digests[name];
    digests[name] = digest;
    FILE* f = std::fopen(GoldenPath().c_str(), "w");
    if (f == nullptr)
        return "cannot write " + GoldenPath();
    for (const auto& entry : digests)
        std::fprintf(f, "%s %s\n", entry.first.c_str(), entry.second.c_str());
    std::fclose(f);
    return "";
}

} // namespace mszip_test
