#include "app/core/carousel.h"
#include "app/core/navigation.h"
#include "app/core/placement.h"
#include "app/core/screen_fit.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace app;

TEST(Placement, DefaultsAndBadValuesOneByOne)
{
    const Placement fresh = placementFromStored({});
    EXPECT_EQ(fresh.left, 1000);
    EXPECT_EQ(fresh.top, 1000);
    EXPECT_EQ(fresh.width, 6500);
    EXPECT_EQ(fresh.height, 6500);

    const Placement mixed = placementFromStored({std::string("2400"), std::string("abc"), std::string("12000.5"),
                                                 std::string("")});
    EXPECT_EQ(mixed.left, 2400);
    EXPECT_EQ(mixed.top, 1000);  // not a number
    EXPECT_EQ(mixed.width, 12000.5);
    EXPECT_EQ(mixed.height, 6500);  // empty

    const Placement odd = placementFromStored({std::string("-300"), std::string("12px"), std::string("0"),
                                               std::string("-5")});
    EXPECT_EQ(odd.left, -300);  // left of the primary screen is a valid position
    EXPECT_EQ(odd.top, 1000);
    EXPECT_EQ(odd.width, 6500);
    EXPECT_EQ(odd.height, 6500);
}

TEST(Placement, NumbersNoWindowCanTakeKeepTheirDefaults)
{
    // A hand-edited or damaged store: numbers, but far beyond any pixel geometry, so the pixel
    // arithmetic that places the window would overflow.
    const Placement huge = placementFromStored({std::string("32212254000"), std::string("-4e10"),
                                                std::string("1e30"), std::string("9e18")});
    EXPECT_EQ(huge.left, 1000);
    EXPECT_EQ(huge.top, 1000);
    EXPECT_EQ(huge.width, 6500);
    EXPECT_EQ(huge.height, 6500);

    // Large but real desktops stay as stored.
    const Placement wide = placementFromStored({std::string("115200"), std::string("-16200"), std::string("115200"),
                                                std::string("32400")});
    EXPECT_EQ(wide.left, 115200);
    EXPECT_EQ(wide.top, -16200);
    EXPECT_EQ(wide.width, 115200);
    EXPECT_EQ(wide.height, 32400);
}

TEST(Placement, RoundTripTexts)
{
    const Placement p{1515, 30, 19200, 14400.5};
    const auto texts = placementToStored(p);
    EXPECT_EQ(texts[0], "1515");
    EXPECT_EQ(texts[3], "14400.5");
    std::array<std::optional<std::string>, 4> stored;
    for (size_t i = 0; i < 4; ++i) stored[i] = texts[i];
    const Placement back = placementFromStored(stored);
    EXPECT_EQ(back.left, p.left);
    EXPECT_EQ(back.top, p.top);
    EXPECT_EQ(back.width, p.width);
    EXPECT_EQ(back.height, p.height);
}

TEST(ScreenFit, OffScreenWindowsMoveOntoThePrimaryScreenFrameAndAll)
{
    const std::vector<Rect> screens = {{0, 0, 1920, 1080}, {1920, 0, 1280, 1024}};
    const Margins none;
    const Margins frame{1, 20, 1, 5};  // a title bar of 20 pixels
    struct Case {
        Rect window;
        Margins frame;
        Rect expected;
    };
    const Case cases[] = {
        {{2000, 100, 800, 600}, frame, {2000, 100, 800, 600}},  // on the second screen
        {{-700, 50, 800, 600}, frame, {-700, 50, 800, 600}},    // its right end still shows
        {{100, 1070, 800, 600}, frame, {100, 1070, 800, 600}},  // a strip of its title bar shows
        {{5000, 3000, 800, 600}, none, {1120, 480, 800, 600}},
        {{5000, 3000, 800, 600}, frame, {1118, 455, 800, 600}},  // the frame's bottom on the screen's
        {{100, -400, 800, 600}, frame, {100, 0, 800, 600}},      // title bar above the screen
        {{6000, 40, 4000, 3000}, none, {0, 0, 1920, 1080}},      // larger than the screen
        {{6000, 40, 4000, 3000}, frame, {0, 0, 1918, 1055}},
    };
    for (const Case& c : cases) {
        const Rect r = keepOnScreen(c.window, screens, c.frame);
        EXPECT_EQ(r, c.expected) << c.window.x << "," << c.window.y << " -> " << r.x << "," << r.y << " " << r.width
                                 << "x" << r.height;
    }
}

TEST(Navigation, StepRoundsHalfEvenAndClamps)
{
    struct Case {
        Arrow arrow;
        int position, size, min, max;
        int expected;
    };
    const Case cases[] = {
        // Vertical bar: Min is the top (larger number), Max the bottom.
        {Arrow::Up, 1000, 500, 5000, 0, 1050},
        {Arrow::Up, 4980, 500, 5000, 0, 5000},   // beyond the top: Min
        {Arrow::Down, 1000, 500, 5000, 0, 950},
        {Arrow::Down, 30, 500, 5000, 0, 0},      // less than a tenth above Max: Max
        {Arrow::Up, 1000, 25, 5000, 0, 1002},    // 1002.5: halves to the even neighbour
        {Arrow::Up, 1000, 35, 5000, 0, 1004},    // 1003.5 -> 1004
        {Arrow::Down, 1000, 15, 5000, 0, 998},   // 998.5 -> 998
        // Horizontal bar: Min left, Max right.
        {Arrow::Right, 100, 2000, 0, 9000, 300},
        {Arrow::Right, 8900, 2000, 0, 9000, 9000},
        {Arrow::Left, 100, 2000, 0, 9000, 0},    // near the start: Min
        {Arrow::Left, 1000, 45, 0, 9000, 996},   // 995.5 -> 996
    };
    for (const auto& c : cases)
        EXPECT_EQ(navigationStep(c.arrow, c.position, c.size, c.min, c.max), c.expected)
            << static_cast<int>(c.arrow) << " " << c.position << " " << c.size;
}

TEST(Carousel, LowestPointAfterNinetyTicks)
{
    Carousel c;
    std::array<CarouselPoint, 3> p{};
    for (int i = 0; i < 90; ++i) p = c.tick();
    EXPECT_NEAR(p[0].x, 0.0, 1e-5);
    EXPECT_NEAR(p[0].y, -0.18, 1e-6);
    // The other two are 120 and 240 degrees ahead.
    EXPECT_NEAR(p[1].x, 0.92 * std::cos(-M_PI / 2 + 2 * M_PI / 3), 1e-5);
    EXPECT_NEAR(p[2].y, 0.18 * std::sin(-M_PI / 2 + 4 * M_PI / 3), 1e-5);
}

TEST(Carousel, AngleRestartsBelowMinus32000)
{
    Carousel c;
    c.angle = -31999.99f;
    c.tick();
    EXPECT_EQ(c.angle, 0.0f);
    const auto p = c.tick();
    EXPECT_NEAR(p[0].x, 0.92 * std::cos(-2 * 3.1415927 / 360), 1e-5);
}

