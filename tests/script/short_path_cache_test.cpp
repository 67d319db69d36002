// The per-run short-path cache gives the platform's own answers, numbering included.
#include "platform/short_path_cache.h"

#include <gtest/gtest.h>

#include "platform/short_path.h"
#include "tests/support/scratch_folder.h"

namespace velaset {
namespace {

// The last two components of a short path. The temporary folder's own short name can
// change while other programs make folders beside it, so only the part below it counts.
std::string Tail(const std::string& shortPath) {
    const size_t last = shortPath.find_last_of("\\/");
    if (last == std::string::npos || last == 0) {
        return shortPath;
    }
    const size_t before = shortPath.find_last_of("\\/", last - 1);
    return before == std::string::npos ? shortPath : shortPath.substr(before + 1);
}

TEST(ShortPathCache, AgreesWithTheSystemAcrossNumberingAndOddNames) {
    velaset_test::ScratchFolder folder;
    std::vector<std::string> paths;
    // One stem numbered past ~9 and ~99, where the base loses characters.
    for (int i = 1; i <= 105; ++i) {
        paths.push_back(folder.WriteFile("many/Documento numero " + std::to_string(i) + ".txt"));
    }
    for (const char* name : {"readme.txt", "a b.c", ".profile", "x.tar.gz", "noext long name",
                             "Sub Folder/Long file name.txt", "Sub Folder/SHORT.TXT",
                             "semi;colon+plus.text", "Guida lunga.hlp"}) {
        paths.push_back(folder.WriteFile(std::string("odd/") + name));
    }
    paths.push_back(folder.Path("odd/missing.txt"));
    paths.push_back(folder.Path("missing folder/a.txt"));
    paths.push_back(folder.Path("ODD/README.TXT")); // other letter case

    platform::ShortPathCache cache;
    for (const std::string& path : paths) {
        const std::string expected = platform::ShortPath(path);
        EXPECT_EQ(cache.ShortPath(path).empty(), expected.empty()) << path;
        EXPECT_EQ(Tail(cache.ShortPath(path)), Tail(expected)) << path;
        // The second answer comes from the cache and must not differ.
        EXPECT_EQ(Tail(cache.ShortPath(path)), Tail(expected)) << path;
    }
    // A short form given back resolves to the same file.
    const std::string shortForm = platform::ShortPath(paths[11]);
    ASSERT_FALSE(shortForm.empty());
    EXPECT_EQ(Tail(cache.ShortPath(shortForm)), Tail(shortForm));
    EXPECT_EQ(cache.ShortPath(""), "");
}

} // namespace
} // namespace velaset
