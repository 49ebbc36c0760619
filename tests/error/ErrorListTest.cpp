#include "tests/support/TestSupport.h"
TEST(Smoke, Builds) { EXPECT_EQ(DecimalSeparator, '.'); }
