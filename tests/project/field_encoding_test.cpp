#include "builder/project/field_encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(FieldEncoding, RefusesATextThatWindows1252CannotHoldAndNamesTheField) {
    std::string ansi = "unchanged";
    platform::Status status = velaset::FieldToWindows1252("Caption", "Setup 日本", &ansi);
    EXPECT_FALSE(status.ok);
    EXPECT_EQ(status.kind, platform::ErrorKind::Refused);
    EXPECT_EQ(status.message, "Il campo Caption contiene caratteri che non possono essere "
                              "salvati in Windows-1252: Setup 日本");
    EXPECT_EQ(ansi, "unchanged");
    ASSERT_TRUE(velaset::FieldToWindows1252("Caption", "Città €", &ansi));
    EXPECT_EQ(ansi, "Citt\xE0 \x80");
}

} // namespace
