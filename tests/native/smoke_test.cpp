#include "core/app_state.h"
#include <gtest/gtest.h>
TEST(Smoke, StateDefaults) { EXPECT_EQ(appState.secondCatalogIndex, 18); }
