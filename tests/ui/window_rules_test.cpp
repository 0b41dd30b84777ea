// The rules of Enter, closing and the focus that both windows follow.

#include <gtest/gtest.h>

#include <optional>

#include "ui/window_rules.h"

namespace vantrel::testing {
namespace {

using ui::ControlId;

class WindowRulesTest : public ::testing::Test {
  protected:
    bool jobRunning = false;
    ui::WindowRules rules{[this] { return jobRunning; }};
};

TEST_F(WindowRulesTest, EnterPressesTheFocusedButtonOrExtractAndDuringAJobOnlyExit) {
    const std::optional<ControlId> onWindow;
    for (const std::optional<ControlId> focus : {onWindow, std::optional(ControlId::txtDest)})
        EXPECT_EQ(rules.enterPresses(focus, false), ControlId::cmdGo);
    for (const ControlId button :
         {ControlId::cmdDir_0, ControlId::cmdDir_1, ControlId::cmdGo, ControlId::cmdExit}) {
        EXPECT_EQ(rules.enterPresses(button, false), button);
        EXPECT_EQ(rules.enterPresses(button, true), std::nullopt) << "a held key's repeat";
    }
    EXPECT_EQ(rules.enterPresses(onWindow, true), std::nullopt);
    EXPECT_FALSE(rules.closeActsAsExit());

    jobRunning = true;
    for (const std::optional<ControlId> focus :
         {onWindow, std::optional(ControlId::txtVobDir), std::optional(ControlId::cmdDir_0)})
        EXPECT_EQ(rules.enterPresses(focus, false), std::nullopt);
    EXPECT_EQ(rules.enterPresses(ControlId::cmdExit, false), ControlId::cmdExit);
    EXPECT_EQ(rules.enterPresses(ControlId::cmdExit, true), std::nullopt);
    EXPECT_TRUE(rules.closeActsAsExit());
    EXPECT_EQ(ui::WindowRules::defaultButton(ControlId::cmdDir_0), ControlId::cmdDir_0)
        << "drawn as the default button all the same";
}

TEST_F(WindowRulesTest, AControlDisabledWithTheFocusTakesItBackUnlessItWasMoved) {
    EXPECT_FALSE(rules.focusGoesToWindow(ControlId::txtDest, false));
    EXPECT_FALSE(rules.windowKeepsFocus());
    EXPECT_TRUE(rules.focusGoesToWindow(ControlId::txtVobDir, true));
    EXPECT_TRUE(rules.windowKeepsFocus());
    EXPECT_FALSE(rules.focusComesBack(ControlId::txtDest, true)) << "it never had it";
    EXPECT_TRUE(rules.focusComesBack(ControlId::txtVobDir, true));
    EXPECT_FALSE(rules.windowKeepsFocus());
    EXPECT_FALSE(rules.focusComesBack(ControlId::txtVobDir, true)) << "once";

    rules.focusGoesToWindow(ControlId::cmdGo, true);
    EXPECT_FALSE(rules.focusComesBack(ControlId::cmdGo, false)) << "the user moved it";
    EXPECT_FALSE(rules.windowKeepsFocus());
}

}  // namespace
}  // namespace vantrel::testing
