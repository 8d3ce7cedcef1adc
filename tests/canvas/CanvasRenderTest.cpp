#include "editor/canvas/CanvasRenderer.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QImage>

#include "formdesc/ShiftJis.h"
#include "render/BitmapCache.h"
#include "tests/support/FormRecords.h"

using editor::CanvasGeometry;
using editor::CanvasRenderer;
using editor::CanvasView;

namespace {

// A5 landscape, 10 x 10 cells, no margins, drawn for 127 dpi so that a pixel
// is a fifth of a millimetre: 1050 x 740 pixels of paper, 5 mm = 25 pixels,
// the grid at (25, 25) with cells of 97 x 66, the page 1045 x 735.
formdesc::FormModel smallForm() {
    formdesc::FormModel model;
    model.setNewFormDefaults();
    model.form.paperSize = formdesc::kPaperA5;
    model.form.direction = formdesc::kLandscape;
    model.form.columns = 10;
    model.form.rows = 10;
    model.form.leftMargin = 0;
    model.form.topMargin = 0;

    formdesc::FieldInfo field{};
    field.startCol = 3; // x 219..413, y 91..157
    field.endCol = 4;
    field.startRow = field.endRow = 2;
    std::memcpy(field.fontName, model.form.fontName, sizeof field.fontName);
    field.fontSize = model.form.fontSize;
    model.appendField(field);

    formdesc::FigureInfo fill =
        testsupport::figureRecord(formdesc::kKindRect, 6, 4, 8, 5); // 558..752 x 223..355
    fill.meshKind() = formdesc::kMeshFillOnly;
    fill.meshColor = formdesc::rgb(255, 0, 0);
    model.appendFigure(fill);

    model.appendFigure(
        testsupport::lineRecord(2, 8, 9, 8, formdesc::kCourseH, formdesc::kLineSolid, 1)); // y 487
    model.appendFigure(testsupport::bitmapRecord(2, 9, 3, 10, "NO-SUCH-PICTURE.BMP")); // 170..267 x 553..685
    return model;
}

struct Rendered {
    QImage image;
    CanvasView view;
};

Rendered renderAt(const formdesc::FormModel& model, int zoom, int scale = 1) {
    Rendered out{QImage(1100 * scale, 800 * scale, QImage::Format_RGB32), {}};
    // As the canvas's buffer on a dense screen: the image knows its ratio.
    out.image.setDevicePixelRatio(scale);
    out.view.page = CanvasGeometry::pageGeometry(model.form, 127, 127);
    out.view.columns = model.form.columns;
    out.view.rows = model.form.rows;
    out.view.zoom = zoom;
    render::BitmapCache bitmaps({}, render::BitmapCache::Failures::Silent);
    const QImage placeholder = CanvasRenderer::placeholderPicture();
    CanvasRenderer::render(out.image, scale, {model, out.view, 127, 127, bitmaps, &placeholder});
    return out;
}

QRgb rgbOf(formdesc::ColorRef c) {
    return qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// A page coordinate at the zoom, in window pixels, as the mapping rounds it.
int at(int page, int zoom, int offset) {
    return offset + (page * zoom + 50) / 100;
}

// Runs of grid-coloured pixels along row y between x0 and x1.
int gridLinesAcross(const QImage& image, int y, int x0, int x1) {
    int runs = 0;
    bool inRun = false;
    for (int x = x0; x < x1; ++x) {
        const bool grid = image.pixel(x, y) == rgbOf(CanvasRenderer::kGridColor);
        runs += grid && !inRun;
        inRun = grid;
    }
    return runs;
}

// The last pixel of row y (from the left) that is not desk.
int pageRightEdge(const QImage& image, int y) {
    for (int x = image.width() - 1; x >= 0; --x)
        if (image.pixel(x, y) != rgbOf(CanvasRenderer::kDeskColor))
            return x;
    return -1;
}

int pageBottomEdge(const QImage& image, int x) {
    for (int y = image.height() - 1; y >= 0; --y)
        if (image.pixel(x, y) != rgbOf(CanvasRenderer::kDeskColor))
            return y;
    return -1;
}

TEST(CanvasRender, PageGridAndItemsAtFullSize) {
    const formdesc::FormModel model = smallForm();
    const Rendered r = renderAt(model, 100);
    const QImage& image = r.image;
    ASSERT_EQ(r.view.page.pageW, 1045);
    ASSERT_EQ(r.view.page.pageH, 735);

    // The page from (20, 20), edged in black, on the grey desk.
    EXPECT_EQ(image.pixel(10, 10), rgbOf(CanvasRenderer::kDeskColor));
    EXPECT_EQ(pageRightEdge(image, 300), 20 + 1045 - 1);
    EXPECT_EQ(pageBottomEdge(image, 600), 20 + 735 - 1);
    EXPECT_EQ(image.pixel(20, 300), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(1064, 300), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(30, 30), qRgb(255, 255, 255)) << "the margin";

    // Eleven grid lines across row 1: the outline and the nine between columns.
    EXPECT_EQ(gridLinesAcross(image, 20 + 25 + 33, 21, 1064), 11);
    EXPECT_EQ(image.pixel(20 + 25 + 97, 20 + 25 + 33), rgbOf(CanvasRenderer::kGridColor));
    EXPECT_EQ(image.pixel(20 + 25 + 40, 20 + 25 + 66), rgbOf(CanvasRenderer::kGridColor));

    // The field's tinted background, with its sample text in the middle.
    EXPECT_EQ(image.pixel(20 + 225, 20 + 93), rgbOf(CanvasRenderer::kFieldColor));
    int ink = 0;
    for (int y = 20 + 92; y < 20 + 157; ++y)
        for (int x = 20 + 220; x < 20 + 413; ++x)
            ink += image.pixel(x, y) != rgbOf(CanvasRenderer::kFieldColor) &&
                   image.pixel(x, y) != rgbOf(CanvasRenderer::kGridColor);
    EXPECT_GT(ink, 20) << "the field's sample text";
    EXPECT_EQ(image.pixel(20 + 280, 20 + 124), rgbOf(CanvasRenderer::kFieldColor))
        << "two characters spread to the field's edges leave its middle empty";

    // The fill covers the grid inside its box and is drawn without a frame.
    EXPECT_EQ(image.pixel(20 + 600, 20 + 300), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(20 + 559, 20 + 289), qRgb(255, 0, 0));
    EXPECT_NE(image.pixel(20 + 558, 20 + 289), qRgb(0, 0, 0));

    // The horizontal line lies on the top edge of row 8, one pixel thick.
    EXPECT_EQ(image.pixel(20 + 500, 20 + 487), qRgb(0, 0, 0));
    EXPECT_NE(image.pixel(20 + 500, 20 + 486), qRgb(0, 0, 0));
    EXPECT_NE(image.pixel(20 + 500, 20 + 488), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(20 + 170, 20 + 487), qRgb(0, 0, 0)) << "starts in the middle of column 2";
    EXPECT_NE(image.pixel(20 + 160, 20 + 487), qRgb(0, 0, 0));

    // A bitmap that cannot be read shows the placeholder picture in its box.
    int sky = 0;
    for (int y = 20 + 553; y < 20 + 685; ++y)
        for (int x = 20 + 170; x < 20 + 267; ++x)
            sky += image.pixel(x, y) == qRgb(0xA8, 0xD8, 0xF0);
    EXPECT_GT(sky, 100);
}

TEST(CanvasRender, PageGridAndItemsAtThreeQuarters) {
    const formdesc::FormModel model = smallForm();
    const QImage image = renderAt(model, 75).image;

    // 1045 x 735 at 75 %: 783 x 551 (the isotropic mapping keeps one scale, 550 or 551 down).
    EXPECT_EQ(pageRightEdge(image, 300), 20 + 783 - 1);
    EXPECT_NEAR(pageBottomEdge(image, 300), 20 + 551 - 1, 1);
    EXPECT_EQ(image.pixel(20, 300), qRgb(0, 0, 0));

    EXPECT_EQ(gridLinesAcross(image, at(25 + 33, 75, 20), 21, 20 + 782), 11);
    EXPECT_EQ(image.pixel(at(225, 75, 20), at(96, 75, 20)), rgbOf(CanvasRenderer::kFieldColor));
    EXPECT_EQ(image.pixel(at(655, 75, 20), at(289, 75, 20)), qRgb(255, 0, 0));

    // The line still on the top edge of row 8: one black pixel where the row begins.
    const int x = at(500, 75, 20);
    int first = -1, count = 0;
    for (int y = 21; y < 20 + 549; ++y)
        if (image.pixel(x, y) == qRgb(0, 0, 0)) {
            first = first < 0 ? y : first;
            ++count;
        }
    EXPECT_EQ(count, 1);
    EXPECT_NEAR(first, at(487, 75, 20), 1);
    EXPECT_NE(image.pixel(x, first + 1), rgbOf(CanvasRenderer::kGridColor))
        << "the grid line under it is covered";
}

TEST(CanvasRender, TwiceAsManyPixelsOnADenseScreen) {
    // Window pixels stay as they are; each is two by two pixels of the buffer.
    const QImage image = renderAt(smallForm(), 100, 2).image;
    EXPECT_EQ(pageRightEdge(image, 600), 2 * (20 + 1045) - 1);
    EXPECT_EQ(pageBottomEdge(image, 1200), 2 * (20 + 735) - 1);
    EXPECT_EQ(gridLinesAcross(image, 2 * (20 + 25 + 33), 43, 2 * 1064), 11);
    EXPECT_EQ(image.pixel(2 * (20 + 500), 2 * (20 + 487)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(2 * (20 + 600), 2 * (20 + 300)), qRgb(255, 0, 0));
}

TEST(CanvasRender, FillsBeforeTextsAndFramesAfter) {
    // A field under a filled and framed rectangle: the fill hides the field's
    // background, the text shows on the fill, and the frame is on top.
    formdesc::FormModel model = smallForm();
    model.figureCount = 0;
    formdesc::FigureInfo rect =
        testsupport::figureRecord(formdesc::kKindRect, 2, 2, 6, 3); // 170..558 x 91..223
    rect.meshKind() = formdesc::kMeshFrameAndFill;
    rect.meshColor = formdesc::rgb(0, 0, 255);
    rect.lineWidth = 1;
    model.appendFigure(rect);
    const QImage image = renderAt(model, 100).image;

    EXPECT_EQ(image.pixel(20 + 225, 20 + 93), qRgb(0, 0, 255)) << "the fill over the field's background";
    int ink = 0;
    for (int y = 20 + 92; y < 20 + 157; ++y)
        for (int x = 20 + 220; x < 20 + 413; ++x)
            ink += image.pixel(x, y) != qRgb(0, 0, 255);
    EXPECT_GT(ink, 20) << "the sample text over the fill";
    EXPECT_EQ(image.pixel(20 + 170, 20 + 150), qRgb(0, 0, 0)) << "the frame's left side";
    EXPECT_EQ(image.pixel(20 + 300, 20 + 91), qRgb(0, 0, 0)) << "the frame's top";
}

} // namespace
