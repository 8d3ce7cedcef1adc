#include "platform/DeviceContext.h"
#include "tests/support/RecordingBackend.h"

#include <gtest/gtest.h>

namespace {

using namespace platform;
using testsupport::RecordingBackend;

struct IsotropicCase {
    int dpiX, dpiY;
    Size window, viewport;
    Size expectedViewport;
};

void PrintTo(const IsotropicCase& c, std::ostream* os) {
    *os << c.window.cx << "x" << c.window.cy << " onto " << c.viewport.cx << "x" << c.viewport.cy;
}

class Isotropic : public ::testing::TestWithParam<IsotropicCase> {};

// Both axes end up with the smaller scale; the other viewport extent shrinks.
TEST_P(Isotropic, ViewportShrinksToTheSmallerScale) {
    const IsotropicCase& c = GetParam();
    RecordingBackend backend(c.dpiX, c.dpiY);
    DeviceContext dc(backend);
    dc.setMapMode(MapMode::Isotropic);
    dc.setWindowExt(c.window.cx, c.window.cy);
    dc.setViewportExt(c.viewport.cx, c.viewport.cy);
    EXPECT_EQ(dc.viewportExt(), c.expectedViewport);
    EXPECT_EQ(dc.windowExt(), c.window);
}

INSTANTIATE_TEST_SUITE_P(Extents, Isotropic,
                         ::testing::Values(
                             // A landscape A4 page (tenths of mm at 600 dpi) onto a portrait viewport:
                             // 7015 * (4960 / 7015) / (7015 / 4960) = 3506.9993 → 3507.
                             IsotropicCase{600, 600, {7015, 4960}, {4960, 7015}, {4960, 3507}},
                             IsotropicCase{600, 600, {4960, 7015}, {7015, 4960}, {3507, 4960}},
                             IsotropicCase{600, 600, {100, 100}, {300, 300}, {300, 300}},
                             // Unequal resolutions: one logical unit must cover equal lengths.
                             IsotropicCase{600, 300, {100, 100}, {600, 600}, {600, 300}},
                             IsotropicCase{96, 96, {1000, 10}, {1, 500}, {1, 1}}, // never shrinks to zero
                             IsotropicCase{96, 96, {1000, 1000}, {-400, 800}, {-400, 400}}));

struct PointCase {
    Size window, viewport;
    Point windowOrg, viewportOrg;
    Point logical, expected;
};

// Device = (logical - window origin) * viewport / window + viewport origin,
// rounded to the nearest pixel with halves going up.
TEST(DeviceContext, LpToDpRoundsToNearestHalfUp) {
    const PointCase cases[] = {
        {{7015, 4960}, {4960, 7015}, {}, {}, {7015, 4960}, {4960, 3507}},
        {{7015, 4960}, {4960, 7015}, {}, {}, {1, 1}, {1, 1}}, // 0.707 → 1
        {{7015, 4960}, {4960, 7015}, {}, {}, {3, 3}, {2, 2}}, // 2.121 → 2
        {{2, 2}, {1, 1}, {}, {}, {1, 3}, {1, 2}},             // 0.5 → 1, 1.5 → 2
        {{2, 2}, {1, 1}, {}, {}, {-1, -3}, {0, -1}},          // -0.5 → 0, -1.5 → -1
        {{3, 3}, {1, 1}, {}, {}, {-2, -4}, {-1, -1}},         // -0.667 → -1, -1.333 → -1
        {{2, 2}, {1, 1}, {10, 20}, {100, 200}, {13, 20}, {102, 200}},
        {{1, 1}, {1, 1}, {}, {-50, 30}, {5, 5}, {-45, 35}},
    };
    for (const PointCase& c : cases) {
        RecordingBackend backend(600, 600);
        DeviceContext dc(backend);
        dc.setMapMode(MapMode::Isotropic);
        dc.setWindowExt(c.window.cx, c.window.cy);
        dc.setViewportExt(c.viewport.cx, c.viewport.cy);
        dc.setWindowOrg(c.windowOrg.x, c.windowOrg.y);
        dc.setViewportOrg(c.viewportOrg.x, c.viewportOrg.y);
        EXPECT_EQ(dc.lpToDp(c.logical), c.expected)
            << "(" << c.logical.x << "," << c.logical.y << ") with window " << c.window.cx << "x"
            << c.window.cy << " gave (" << dc.lpToDp(c.logical).x << "," << dc.lpToDp(c.logical).y << ")";
    }
}

TEST(DeviceContext, TextModeIgnoresExtents) {
    RecordingBackend backend(600, 600);
    DeviceContext dc(backend);
    dc.setWindowExt(10, 10);
    dc.setViewportExt(20, 20);
    dc.setViewportOrg(5, 7);
    EXPECT_EQ(dc.lpToDp({10, 10}), (Point{15, 17}));
}

TEST(DeviceContext, FontAndMetricsTravelBetweenLogicalAndDeviceUnits) {
    RecordingBackend backend(600, 600);
    DeviceContext dc(backend);
    dc.setMapMode(MapMode::Isotropic);
    dc.setWindowExt(2000, 2000);
    dc.setViewportExt(1000, 1000);
    dc.selectFont({100, 0, 400, "x"});
    dc.drawChar("A", {0, 0, 100, 100});
    ASSERT_EQ(backend.calls.size(), 1u);
    EXPECT_EQ(backend.calls[0].font.height, 50);
    EXPECT_EQ(backend.calls[0].rect, (Rect{0, 0, 50, 50}));
    // The recorder answers half the device height as width; back in logical units.
    const TextMetrics metrics = dc.textMetrics();
    EXPECT_EQ(metrics.height, 100);
    EXPECT_EQ(metrics.aveCharWidth, 50);
}

// At three quarters a cell five units wide covers 3.75 pixels: mapped by its
// edges it is 3 or 4 pixels wide depending on where it starts, in font units
// always as wide as the font's characters on the device (the recorder's font
// of 9 pixels is 4 wide, 5 units back in logical ones), and as high.
TEST(DeviceContext, CellsInFontUnitsKeepTheFontsSizeWhereverTheyStart) {
    struct Row {
        int viewportX;
        Rect cell;
        CellMapping mapping;
        Rect expected;
    };
    const Row rows[] = {
        {3, {0, 0, 5, 12}, CellMapping::Edges, {0, 0, 4, 9}},
        {3, {14, 0, 19, 12}, CellMapping::Edges, {11, 0, 14, 9}}, // 10.5 → 11, 14.25 → 14
        {3, {0, 0, 5, 12}, CellMapping::FontUnits, {0, 0, 4, 9}},
        {3, {14, 0, 19, 12}, CellMapping::FontUnits, {11, 0, 15, 9}},
        {3, {21, 3, 31, 15}, CellMapping::FontUnits, {16, 2, 24, 11}},   // a double-width cell
        {3, {14, 0, 14, 12}, CellMapping::FontUnits, {11, 0, 11, 9}},    // nothing stays nothing
        {-3, {14, 0, 19, 12}, CellMapping::FontUnits, {-14, 0, -10, 9}}, // mirrored: -10.5 → -10
    };
    for (const Row& row : rows) {
        RecordingBackend backend(96, 96);
        DeviceContext dc(backend);
        dc.setMapMode(MapMode::Isotropic);
        dc.setWindowExt(4, 4);
        dc.setViewportExt(row.viewportX, 3);
        dc.selectFont({12, 0, 400, "x"});
        ASSERT_EQ(dc.textMetrics().aveCharWidth, 5);
        dc.drawChar("X", row.cell, row.mapping);
        ASSERT_EQ(backend.calls.size(), 1u);
        const Rect& got = backend.calls[0].rect;
        EXPECT_EQ(got, row.expected) << "cell from " << row.cell.left << " to " << row.cell.right << " gave "
                                     << got.left << ".." << got.right << " x " << got.top << ".."
                                     << got.bottom;
    }
}

TEST(DeviceContext, ThinPenIsOneDevicePixelAndWidePenScales) {
    RecordingBackend backend(600, 600);
    DeviceContext dc(backend);
    dc.setMapMode(MapMode::Isotropic);
    dc.setWindowExt(100, 100);
    dc.setViewportExt(300, 300);
    for (const auto& [logical, device] : {std::pair{0, 1}, {1, 3}, {2, 6}}) {
        dc.selectPen({PenStyle::Dash, logical, 0x123456});
        dc.moveTo(0, 0);
        dc.lineTo(10, 0);
        EXPECT_EQ(backend.calls.back().pen.width, device) << "logical width " << logical;
        EXPECT_EQ(backend.calls.back().pen.style, PenStyle::Dash);
    }
}

} // namespace
