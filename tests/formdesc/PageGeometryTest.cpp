#include "formdesc/PageGeometry.h"

#include <gtest/gtest.h>

#include <climits>

using namespace formdesc;

namespace {

FormInfo gridForm(int columns, int rows, int leftMargin, int topMargin) {
    FormInfo form{};
    form.columns = columns;
    form.rows = rows;
    form.leftMargin = leftMargin;
    form.topMargin = topMargin;
    return form;
}

} // namespace

namespace formdesc {

std::ostream& operator<<(std::ostream& out, const PageGeometry& g) {
    return out << "cell " << g.cellW << "x" << g.cellH << " origin " << g.originX << "," << g.originY
               << " page " << g.pageW << "x" << g.pageH;
}

std::ostream& operator<<(std::ostream& out, const CellRect& r) {
    return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}

std::ostream& operator<<(std::ostream& out, const FigurePoints& p) {
    return out << "(" << p.x1 << "," << p.y1 << ")-(" << p.x2 << "," << p.y2 << ")";
}

} // namespace formdesc

TEST(PageGeometry, EdgeAllowanceAndFontHeight) {
    struct Case {
        int dpi;
        int allowance;
        int sizeTenths;
        int fontHeight;
    };
    const Case cases[] = {
        {600, 118, 90, 75}, {96, 18, 90, 12}, {96, 18, 105, 14}, {300, 59, 120, 50}, {72, 14, 100, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(edgeAllowance(c.dpi), c.allowance);
        EXPECT_EQ(fontHeight(c.sizeTenths, c.dpi), c.fontHeight);
    }
}

TEST(PageGeometry, PrinterAndPreviewGrids) {
    struct Case {
        const char* name;
        bool preview;
        int pageW, pageH; // tenths of a millimetre
        FormInfo form;
        int dpi;
        PageGeometry expected;
    };
    const Case cases[] = {
        // A4 landscape, 180 x 60, 5 mm margins.
        {"printer 600 dpi", false, 2970, 2100, gridForm(180, 60, 50, 50), 600, {37, 78, 0, 0, 7015, 4960}},
        {"preview 96 dpi", true, 2970, 2100, gridForm(180, 60, 50, 50), 96, {5, 12, 18, 18, 954, 774}},
        // 3 mm is inside the allowance: 0 on the printer, raised to 5 mm in the preview.
        {"printer 3 mm", false, 2970, 2100, gridForm(180, 60, 30, 30), 600, {37, 78, 0, 0, 7015, 4960}},
        {"preview 3 mm", true, 2970, 2100, gridForm(180, 60, 30, 30), 96, {5, 12, 18, 18, 954, 774}},
        // 20 mm: the printer keeps 15 mm of it (472 - 118), the preview all.
        {"printer 20 mm",
         false,
         2970,
         2100,
         gridForm(100, 50, 200, 200),
         600,
         {64, 87, 354, 354, 7015, 4960}},
        {"preview 20 mm", true, 2970, 2100, gridForm(100, 50, 200, 200), 96, {10, 13, 75, 75, 1111, 761}},
        // Portrait B5 on a 300 dpi printer, left and top margins differ.
        {"printer B5 P", false, 1820, 2570, gridForm(80, 66, 100, 60), 300, {24, 44, 59, 11, 2149, 3035}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PageGeometry g = c.preview ? previewGeometry(c.pageW, c.pageH, c.form, c.dpi, c.dpi)
                                         : printerGeometry(c.pageW, c.pageH, c.form, c.dpi, c.dpi);
        EXPECT_EQ(g.cellW, c.expected.cellW) << g;
        EXPECT_EQ(g.cellH, c.expected.cellH) << g;
        EXPECT_EQ(g.originX, c.expected.originX) << g;
        EXPECT_EQ(g.originY, c.expected.originY) << g;
        EXPECT_EQ(g.pageW, c.expected.pageW) << g;
        EXPECT_EQ(g.pageH, c.expected.pageH) << g;
    }
}

TEST(PageGeometry, PrinterExtentsScaleTheFormOntoThePaper) {
    struct Case {
        const char* name;
        int formW, formH, paperW, paperH;
        PrinterExtents expected;
    };
    const Case cases[] = {
        {"A4 on A4", 2970, 2100, 2970, 2100, {{7015, 4960}, {7015, 4960}}},
        {"B4 on A4", 3640, 2570, 2970, 2100, {{8598, 6070}, {7015, 4960}}},
        {"A5 on A4", 2100, 1480, 2970, 2100, {{4960, 3496}, {7015, 4960}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(printerExtents(c.formW, c.formH, c.paperW, c.paperH, 600, 600), c.expected);
    }
}

TEST(PageGeometry, PrinterPaperFollowsTheFormsDirection) {
    struct Case {
        int code;
        int direction;
        PrinterPaper expected;
    };
    const Case cases[] = {
        {kDmPaperA3, kLandscape, {4200, 2970, kDmOrientLandscape}},
        {kDmPaperA5, kLandscape, {2100, 1480, kDmOrientLandscape}},
        {kDmPaperB4, kPortrait, {2570, 3640, kDmOrientPortrait}},
        {kDmPaperB5, kPortrait, {1820, 2570, kDmOrientPortrait}},
        {9, kLandscape, {2970, 2100, kDmOrientLandscape}}, // A4 by its own code
        {1, kPortrait, {2100, 2970, kDmOrientPortrait}},   // Letter: taken for A4
        {0, 0, {2970, 2100, kDmOrientLandscape}},          // anything but P is landscape
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(printerPaper(c.code, c.direction), c.expected);
    }
}

TEST(PageGeometry, CellRectanglesAndFigurePoints) {
    const PageGeometry g{37, 78, 0, 0, 7015, 4960};
    const PageGeometry offset{5, 12, 18, 18, 954, 774};
    // Texts cover whole cells.
    EXPECT_EQ(cellRect(g, 1, 1, 1, 1), (CellRect{0, 0, 37, 78}));
    EXPECT_EQ(cellRect(g, 3, 5, 2, 10), (CellRect{148, 156, 518, 312}));
    EXPECT_EQ(cellRect(offset, 2, 3, 1, 4), (CellRect{28, 30, 48, 42}));

    struct Case {
        const char* name;
        PageGeometry geometry;
        int c1, r1, c2, r2;
        FigurePoints expected;
    };
    const Case cases[] = {
        // Middle of column 3 to middle of column 10, top of row 2 to its bottom.
        {"one row", g, 3, 2, 10, 2, {92, 78, 351, 156}},
        {"column 5, rows 2-4", g, 5, 2, 5, 4, {166, 78, 166, 312}},
        // An end row above the start row still ends at that row's bottom edge.
        {"upwards", g, 4, 5, 8, 3, {129, 312, 277, 234}},
        {"leftwards", g, 10, 1, 3, 1, {351, 0, 92, 78}},
        {"preview origin", offset, 1, 1, 2, 1, {20, 18, 25, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(figurePoints(c.geometry, c.c1, c.r1, c.c2, c.r2), c.expected);
    }
}

TEST(PageGeometry, ExtremeInputsSaturateInsteadOfOverflowing) {
    const PageGeometry g{37, 78, 0, 0, 7015, 4960};
    const FigurePoints far = figurePoints(g, INT_MAX, INT_MIN, INT_MIN, INT_MAX);
    EXPECT_EQ(far.x1, kCoordinateLimit);
    EXPECT_EQ(far.y1, -kCoordinateLimit);
    EXPECT_EQ(far.x2, -kCoordinateLimit);
    EXPECT_EQ(far.y2, kCoordinateLimit);
    const std::int64_t huge = std::int64_t{1} << 62;
    const int limit = kCoordinateLimit;
    EXPECT_EQ(cellRect(g, huge, huge, 1, 1), (CellRect{limit, limit, limit, limit}));
    EXPECT_EQ(cellRect(g, -huge, -huge, 1, 1), (CellRect{-limit, -limit, -limit, -limit}));

    // A grid without columns or rows and absurd resolutions give numbers, not traps.
    const PageGeometry empty = printerGeometry(2970, 2100, gridForm(0, 0, 50, 50), 600, 600);
    EXPECT_EQ(empty.cellW, 0);
    EXPECT_EQ(empty.cellH, 0);
    const PageGeometry wide = previewGeometry(INT_MAX, INT_MAX, gridForm(1, 1, INT_MAX, 0), INT_MAX, INT_MAX);
    EXPECT_EQ(wide.pageW, INT_MAX);
    EXPECT_EQ(fontHeight(INT_MAX, INT_MAX), INT_MAX);
}
