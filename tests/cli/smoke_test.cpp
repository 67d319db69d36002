#include "common/constants.h"
#include <gtest/gtest.h>
TEST(Constants, StubFitsInBuilder) {
    EXPECT_EQ(STUB_OFFSET_IN_BUILDER + STUB_IMAGE_SIZE, 333312);
}
