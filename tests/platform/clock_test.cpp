#include "platform/clock.h"

#include <gtest/gtest.h>

namespace vantrel::platform {
namespace {

TEST(Clock, SeparatorsComeFromTheLocaleFormats) {
    EXPECT_EQ(separatorOfFormat("%d/%m/%Y", "/"), "/");
    EXPECT_EQ(separatorOfFormat("%d.%m.%Y", "/"), ".");
    EXPECT_EQ(separatorOfFormat("%Y-%m-%d", "/"), "-");
    EXPECT_EQ(separatorOfFormat("%H:%M:%S", ":"), ":");
    EXPECT_EQ(separatorOfFormat("%T", ":"), ":");
    EXPECT_EQ(separatorOfFormat("", "/"), "/");
}

TEST(Clock, TheSystemClockGivesAPlausibleLocalTime) {
    const SystemClock clock;
    const LocalTime now = clock.now();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_FALSE(clock.separators().date.empty());
}

}  // namespace
}  // namespace vantrel::platform
