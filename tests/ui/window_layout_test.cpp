// The layout both windows build from, and twips on screens of any DPI.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "ui/window_layout.h"

namespace vantrel::testing {
namespace {

using namespace ui;

TEST(WindowLayoutTest, TheControlsStandInTabOrderInsideTheClientArea) {
    std::vector<std::string> focusCycle;
    for (const ControlLayout& control : kControls) {
        EXPECT_GE(control.place.left, 0) << control.name;
        EXPECT_LE(control.place.right(), kClientWidthTwips) << control.name;
        EXPECT_LE(control.place.bottom(), kClientHeightTwips) << control.name;
        if (control.visible && takesFocus(control.kind)) focusCycle.emplace_back(control.name);
    }
    EXPECT_EQ(focusCycle, (std::vector<std::string>{"txtVobDir", "cmdDir_0", "txtDest", "cmdDir_1",
                                                    "cmdGo", "cmdExit"}));
    EXPECT_EQ(layoutOf(ControlId::Label1_0).box, ControlId::txtVobDir);
    EXPECT_EQ(layoutOf(ControlId::Label1_1).box, ControlId::txtDest);

    const TwipsRect status = layoutOf(ControlId::Stat).place;
    EXPECT_EQ(status.bottom(), kClientHeightTwips) << "docked along the bottom";
    EXPECT_EQ(status.width, kClientWidthTwips);
    const TwipsRect perFile = layoutOf(ControlId::ProgFile).place;
    const TwipsRect overall = layoutOf(ControlId::Prog).place;
    for (const TwipsRect& bar : {perFile, overall}) {
        EXPECT_EQ(bar.left, 120);
        EXPECT_EQ(kClientWidthTwips - bar.right(), 150);
    }
    EXPECT_EQ(perFile.bottom() - overall.top, 15) << "the bars overlap";
}

TEST(WindowLayoutTest, TwipsBecomePixelsByTheScreensDpi) {
    EXPECT_EQ(twipsToPixels(kClientWidthTwips, 96), 475);
    EXPECT_EQ(twipsToPixels(kClientHeightTwips, 96), 187);
    EXPECT_EQ(twipsToPixels(kClientWidthTwips, 144), 713);
    EXPECT_EQ(twipsToPixels(kClientWidthTwips, 192), 950);
    EXPECT_FLOAT_EQ(pixelsToTwips(483, 96), 7245);
    // A size read in twips and set again is the same number of pixels.
    for (const int dpi : {96, 120, 144, 168, 192, 288})
        for (int pixels = 0; pixels < 3000; ++pixels)
            ASSERT_EQ(twipsToPixels(double(std::lround(pixelsToTwips(pixels, dpi))), dpi), pixels)
                << pixels << " at " << dpi;

    // Controls that meet in twips meet in pixels.
    const PixelRect perFile = toPixels(layoutOf(ControlId::ProgFile).place, 168);
    const PixelRect overall = toPixels(layoutOf(ControlId::Prog).place, 168);
    const PixelRect status = toPixels(layoutOf(ControlId::Stat).place, 168);
    EXPECT_EQ(perFile.left + perFile.width, overall.left + overall.width);
    EXPECT_EQ(status.top + status.height, twipsToPixels(kClientHeightTwips, 168));
}

TEST(WindowLayoutTest, TheLastStatusPanelTakesTheRestButNotLessThanItsMinimum) {
    EXPECT_EQ(panelWidths(475, 96), (std::array<int, 3>{63, 63, 349}));
    EXPECT_EQ(panelWidths(950, 192), (std::array<int, 3>{125, 125, 700}));
    EXPECT_EQ(panelWidths(150, 96), (std::array<int, 3>{63, 63, 96}));
}

}  // namespace
}  // namespace vantrel::testing
