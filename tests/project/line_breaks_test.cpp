#include <gtest/gtest.h>

#include "builder/project/line_breaks.h"
#include "common/constants.h"
#include "platform/text_encoding.h"

namespace {

TEST(LineBreaks, EncodeEveryKindOfBreakAndLeaveOneLineTextsAlone) {
    struct Case {
        const char* text;
        const char* stored;
        const char* decoded;
    } cases[] = {
        {"Una riga sola, con \\ e \"virgolette\"", "Una riga sola, con \\ e \"virgolette\"",
         "Una riga sola, con \\ e \"virgolette\""},
        {"Uno\r\nDue", "Uno¶Due", "Uno\r\nDue"},
        {"Uno\nDue\rTre", "Uno¶Due¶Tre", "Uno\r\nDue\r\nTre"},
        {"\r\n\r\nFine\r\n", "¶¶Fine¶", "\r\n\r\nFine\r\n"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(velaset::EncodeLineBreaks(c.text), c.stored) << c.text;
        EXPECT_EQ(velaset::DecodeLineBreaks(c.stored), c.decoded) << c.stored;
    }
}

TEST(LineBreaks, TheMarkIsTheSharedByte) {
    std::string ansi;
    ASSERT_TRUE(platform::Utf8ToWindows1252(velaset::kLineBreakMark, &ansi));
    EXPECT_EQ(ansi, std::string(1, LINE_BREAK_MARK));
}

} // namespace
