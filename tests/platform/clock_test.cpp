#include "platform/clock.h"

#include <gtest/gtest.h>

#include <tuple>

#include "support/process_runner.h"
#include "support/scoped_env.h"
#include "support/temp_folder.h"

// glibc's newlocale keeps its copy of LOCPATH for good: a leak of the C
// library's, not of the program's.
extern "C" const char* __lsan_default_suppressions() { return "leak:__argz_add_sep\n"; }

namespace vantrel::testing {
namespace {

using platform::SystemClock;

TEST(Clock, SeparatorsComeFromTheLocaleFormats) {
    using platform::separatorOfFormat;
    EXPECT_EQ(separatorOfFormat("%d/%m/%Y", "/"), "/");
    EXPECT_EQ(separatorOfFormat("%-d.%-m.%Y", "/"), ".");
    EXPECT_EQ(separatorOfFormat("%Y-%m-%d", "/"), "-");
    EXPECT_EQ(separatorOfFormat("%d %b %Y", "/"), " ");
    EXPECT_EQ(separatorOfFormat("%OH:%OM:%OS", ":"), ":");
    EXPECT_EQ(separatorOfFormat("%T", ":"), ":");
    EXPECT_EQ(separatorOfFormat("", "/"), "/");
    // Words and longer texts between the parts are no separators.
    EXPECT_EQ(separatorOfFormat("%Y년 %m월 %d일", "/"), "/");
    EXPECT_EQ(separatorOfFormat("%d. %m. %Y", "/"), "/");
}

// The user's locale, compiled by the system's localedef into a folder of the
// test's own, so that the machine's locales stay as they are.
TEST(Clock, TheSystemClockTakesTheSeparatorsOfTheUsersLocale) {
    const TempFolder locales;
    const ScopedEnv localePath("LOCPATH", locales.path().c_str());
    for (const auto& [name, date, time] :
         {std::tuple{"ja_JP", "/", ":"}, std::tuple{"de_DE", ".", ":"}}) {
        const std::string locale = std::string(name) + ".UTF-8";
        const ProcessResult made =
            runProgram("/usr/bin/localedef", {"-i", name, "-f", "UTF-8", locales / locale});
        ASSERT_EQ(made.exitStatus, 0) << made.err;
        const ScopedEnv userLocale("LC_ALL", locale.c_str());
        const SystemClock clock;
        EXPECT_EQ(clock.separators().date, date) << name;
        EXPECT_EQ(clock.separators().time, time) << name;
    }
}

TEST(Clock, TheSystemClockGivesAPlausibleLocalTime) {
    const SystemClock clock;
    const platform::LocalTime now = clock.now();
    EXPECT_GE(now.year, 2024);
    EXPECT_TRUE(now.month >= 1 && now.month <= 12);
    EXPECT_TRUE(now.day >= 1 && now.day <= 31);
    EXPECT_FALSE(clock.separators().date.empty());
}

}  // namespace
}  // namespace vantrel::testing
