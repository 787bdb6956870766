#include "app/core/cascade.h"

#include <gtest/gtest.h>

using app::Rect;
using app::Size;

TEST(Cascade, WindowsOverlapDiagonallyAtAUsableSizeInsideTheArea)
{
    const Size standard{800, 646};
    struct Case {
        const char* what;
        std::vector<Size> sizes;
        Size area;
        std::vector<Rect> placed;
    };
    const Case cases[] = {
        {"shrunk windows grow to the standard size",
         {{120, 20}, {120, 20}, {120, 20}},
         {1000, 700},
         {{0, 0, 800, 646}, {20, 20, 800, 646}, {40, 40, 800, 646}}},
        {"windows as tall as the area (tiled side by side) end inside it",
         {{333, 700}, {333, 700}, {334, 700}},
         {1000, 700},
         {{0, 0, 800, 700}, {20, 20, 800, 680}, {40, 40, 800, 660}}},
        {"a larger window keeps its size",
         {{500, 400}, {900, 650}},
         {1000, 700},
         {{0, 0, 800, 646}, {20, 20, 900, 650}}},
        {"the next starts again at the corner when a new window would not fit",
         {{800, 646}, {800, 646}, {800, 646}, {800, 646}},
         {1000, 680},
         {{0, 0, 800, 646}, {20, 20, 800, 646}, {0, 0, 800, 646}, {20, 20, 800, 646}}},
        {"an area smaller than a new window: the area's size",
         {{300, 200}, {900, 900}},
         {600, 500},
         {{0, 0, 600, 500}, {0, 0, 600, 500}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<Rect> placed = app::cascadeGeometry(c.sizes, standard, c.area, 20);
        ASSERT_EQ(placed.size(), c.placed.size());
        for (std::size_t i = 0; i < placed.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(placed[i], c.placed[i]);
        }
    }
    EXPECT_TRUE(app::cascadeGeometry({}, standard, {1000, 700}, 20).empty());
}
