#include <gtest/gtest.h>

#include "platform/text_encoding.h"

namespace {

struct Conversion {
    const char* utf8;
    const char* ansi;
};

TEST(Windows1252, ConvertsBothWaysByteForByte) {
    const Conversion cases[] = {
        {"Nuovo Progetto", "Nuovo Progetto"},
        {"installerà", "installer\xE0"},
        {"verrà è ì ò ù", "verr\xE0 \xE8 \xEC \xF2 \xF9"},
        {"€ „ … ‰ Œ ™ Ÿ", "\x80 \x84 \x85 \x89 \x8C \x99 \x9F"},
        {"¶ ÿ", "\xB6 \xFF"},
        {"\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D", "\x81\x8D\x8F\x90\x9D"}, // undefined bytes
    };
    for (const Conversion& c : cases) {
        std::string ansi;
        ASSERT_TRUE(platform::Utf8ToWindows1252(c.utf8, &ansi)) << c.utf8;
        EXPECT_EQ(ansi, c.ansi) << c.utf8;
        EXPECT_EQ(platform::Windows1252ToUtf8(c.ansi), c.utf8) << c.utf8;
    }
}

TEST(Windows1252, RefusesWhatItCannotHoldAndNamesTheField) {
    const char* refused[] = {
        "日本",     // outside Windows-1252
        "\xC2\x80", // U+0080 is not the euro sign's byte
        "a\xFF"
        "b",            // not UTF-8
        "\xE0\xA0",     // cut sequence
        "\xC0\xAF",     // overlong form
        "\xED\xA0\x80", // surrogate
        "😀",
    };
    for (const char* text : refused) {
        std::string ansi = "unchanged";
        EXPECT_FALSE(platform::Utf8ToWindows1252(text, &ansi)) << text;
        EXPECT_EQ(ansi, "unchanged");
    }
}

} // namespace
