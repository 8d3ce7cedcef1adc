#include "editor/canvas/FormCanvas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>

#include <cmath>
#include <memory>
#include <random>
#include <string>

#include "editor/canvas/CanvasRenderer.h"
#include "editor/canvas/ItemTracker.h"
#include "formdesc/Barcode.h"
#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "render/BitmapCache.h"
#include "tests/support/CanvasDriver.h"
#include "tests/support/CanvasFixture.h"
#include "tests/support/FormRecords.h"

using editor::FormCanvas;

namespace {

constexpr int kColumns = 40;
constexpr int kRows = 30;

int pick(std::mt19937& random, int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
}

formdesc::ColorRef anyColor(std::mt19937& random) {
    return formdesc::rgb(pick(random, 0, 255), pick(random, 0, 255), pick(random, 0, 255));
}

// Loop copies across or down, with pitches that run either way.
void loopAtRandom(std::mt19937& random, formdesc::FigureInfo& figure) {
    figure.loopDir = pick(random, 0, 2);
    figure.loopCount = pick(random, 0, 3);
    figure.loopPitch = pick(random, -4, 4);
}

// Fields in three faces and many sizes (taller than their row, wide,
// centred, constants that overflow), lines of every course, type and
// width, frames and fills, pictures that cannot be read and barcodes, many
// of them overlapping or touching the grid's last cells.
formdesc::FormModel randomForm(std::mt19937& random) {
    namespace sjis = formdesc::sjis;
    formdesc::FormModel model;
    model.setNewFormDefaults();
    model.form.paperSize = formdesc::kPaperA5;
    model.form.direction = formdesc::kLandscape;
    model.form.columns = kColumns;
    model.form.rows = kRows;
    const std::string faces[] = {std::string(sjis::view(model.form.fontName)),
                                 sjis::fromUtf8("ＭＳ ゴシック"), sjis::fromUtf8("ＭＳ Ｐゴシック")};
    const std::string constants[] = {"", "", sjis::fromUtf8("合計金額（税込）"), "ABC-123",
                                     sjis::fromUtf8("円")};
    for (int i = 0; i < 45; ++i) {
        const int c1 = pick(random, 1, kColumns);
        formdesc::FieldInfo f = testsupport::fieldRecord(c1, pick(random, 1, kRows),
                                                         std::min(kColumns, c1 + pick(random, 0, 12)));
        sjis::storeWhole(f.fontName, sizeof f.fontName, faces[pick(random, 0, 2)]);
        f.fontSize = pick(random, 50, 220);
        f.wide = pick(random, 0, 3) == 0;
        f.center = pick(random, 0, 2) == 0;
        f.minus = pick(random, 0, 1);
        f.space = pick(random, 0, 4) == 0;
        f.textColor = anyColor(random);
        sjis::storeWhole(f.constText, sizeof f.constText, constants[pick(random, 0, 4)]);
        model.appendField(f);
    }
    for (int i = 0; i < 45; ++i) {
        const int c1 = pick(random, 1, kColumns);
        const int r1 = pick(random, 1, kRows);
        const int c2 = std::clamp(c1 + pick(random, -8, 8), 1, kColumns);
        const int r2 = std::clamp(r1 + pick(random, -6, 6), 1, kRows);
        formdesc::FigureInfo g;
        switch (pick(random, 0, 5)) {
        case 0:
        case 1:
            g = testsupport::lineRecord(c1, r1, c2, r2, pick(random, 1, 4), pick(random, 1, 6),
                                        pick(random, 1, 5));
            break;
        case 2:
        case 3:
            g = testsupport::rectRecord(std::min(c1, c2), std::min(r1, r2), std::max(c1, c2),
                                        std::max(r1, r2), pick(random, 0, 2));
            g.lineType = pick(random, 1, 6);
            g.lineWidth = pick(random, 1, 5);
            g.meshColor = anyColor(random);
            break;
        case 4:
            g = testsupport::bitmapRecord(std::min(c1, c2), std::min(r1, r2), std::max(c1, c2),
                                          std::max(r1, r2), "NO-SUCH-PICTURE.BMP");
            break;
        default:
            g = testsupport::barcodeRecord(
                std::min(c1, c2), std::min(r1, r2), std::min(kColumns, std::max(c1, c2) + 4),
                std::min(kRows, std::max(r1, r2) + 3),
                pick(random, 0, 1) ? formdesc::kBarcodeCode39 : formdesc::kBarcodeQr, "AB-12",
                pick(random, 0, 1), true);
            break;
        }
        if (g.kind != formdesc::kKindBarcode)
            g.lineColor = anyColor(random);
        if (g.kind == formdesc::kKindLine || g.kind == formdesc::kKindRect)
            loopAtRandom(random, g);
        model.appendFigure(g);
    }
    return model;
}

class RegionRenderTest : public testsupport::CanvasFixture {
  protected:
    void SetUp() override { showCanvas({800, 800}, {0, 0, 780, 700}); }

    void open(const formdesc::FormModel& form, int zoom) {
        canvas->document().model() = form;
        canvas->recomputeGeometry();
        canvas->setZoom(zoom);
        canvas->requestFullRedraw();
        canvas->viewport()->repaint();
    }

    // A fresh render of the whole form as the canvas holds it now.
    QImage fullRender() const {
        const QImage& buffer = canvas->backBuffer();
        QImage image(buffer.size(), buffer.format());
        image.setDevicePixelRatio(buffer.devicePixelRatio());
        render::BitmapCache bitmaps({}, render::BitmapCache::Failures::Silent);
        const QImage placeholder = editor::CanvasRenderer::placeholderPicture();
        editor::CanvasRenderer::render(image, buffer.devicePixelRatio(),
                                       {canvas->document().model(), canvas->view(), canvas->logicalDpiX(),
                                        canvas->logicalDpiY(), bitmaps, &placeholder});
        return image;
    }

    // The part of a buffer the window shows.
    QImage shown(const QImage& image) const {
        const qreal ratio = image.devicePixelRatio();
        return image.copy(0, 0, int(std::ceil(canvas->viewport()->width() * ratio)),
                          int(std::ceil(canvas->viewport()->height() * ratio)));
    }

    // A band over random cells selects what lies wholly inside it.
    void selectAtRandom(std::mt19937& random) {
        canvas->clearSelection();
        canvas->setToolMode(formdesc::kKindBase);
        // From a cell the window shows, so that most edits are seen.
        const editor::CellPoint first = editor::CanvasGeometry::windowPointToCell(canvas->view(), 0, 0);
        const editor::CellPoint last = editor::CanvasGeometry::windowPointToCell(
            canvas->view(), canvas->viewport()->width() - 1, canvas->viewport()->height() - 1);
        const int c1 = pick(random, first.col, last.col);
        const int r1 = pick(random, first.row, last.row);
        const int c2 = std::min(kColumns, c1 + pick(random, 2, 25));
        const int r2 = std::min(kRows, r1 + pick(random, 2, 20));
        mouse->drag(mouse->at(c1, r1, 0, 0) - QPoint(2, 2), mouse->at(c2, r2, 100, 100) + QPoint(3, 3));
        canvas->viewport()->repaint();
    }

    // Arrow keys, or a drag from the middle of a selected item let go a
    // few cells away (a move, or a resize where a handle lies under it).
    std::string editAtRandom(std::mt19937& random) {
        if (pick(random, 0, 1) == 0) {
            const int keys[] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
            const int key = keys[pick(random, 0, 3)];
            mouse->key(key);
            return "arrow key " + std::to_string(key);
        }
        const auto entries = canvas->selection().entries();
        const platform::Rect r = editor::ItemTracker::windowRect(
            canvas->view(), entries[std::size_t(pick(random, 0, int(entries.size()) - 1))]);
        const QPoint from((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        const editor::CanvasView& view = canvas->view();
        const QPoint by(pick(random, -3, 3) * view.page.cellW * view.zoom / 100,
                        pick(random, -3, 3) * view.page.cellH * view.zoom / 100);
        mouse->press(from);
        mouse->move(from + by / 2);
        mouse->move(from + by);
        mouse->release(from + by);
        return "drag by " + std::to_string(by.x()) + "," + std::to_string(by.y());
    }
};

bool sameRecords(const formdesc::FormModel& a, const formdesc::FormModel& b) {
    if (a.fieldCount != b.fieldCount || a.figureCount != b.figureCount)
        return false;
    for (int i = 0; i < a.fieldCount; ++i)
        if (!formdesc::sameBytes(a.fields[std::size_t(i)], b.fields[std::size_t(i)]))
            return false;
    for (int i = 0; i < a.figureCount; ++i)
        if (!formdesc::sameBytes(a.figures[std::size_t(i)], b.figures[std::size_t(i)]))
            return false;
    return true;
}

// The pixels of two pictures differ: where first and how many.
std::string difference(const QImage& actual, const QImage& expected) {
    int count = 0;
    QPoint first(-1, -1);
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y)) {
                if (count++ == 0)
                    first = {x, y};
            }
    return std::to_string(count) + " pixels, the first at " + std::to_string(first.x()) + "," +
           std::to_string(first.y());
}

} // namespace

// After an arrow step or a dropped drag only the changed items' pixels
// that the window shows are rendered again, over the rest of the back
// buffer; what the window shows is then what a full render of the same
// form gives, at zooms whose mapping is fractional too, and so is all of
// it once a larger window shows the rest. No step renders everything.
TEST_F(RegionRenderTest, EditedItemsRenderedInPlaceMatchAFullRender) {
    for (const int zoom : {50, 75, 100, 200}) {
        for (unsigned seed = 1; seed <= 4; ++seed) {
            std::mt19937 random(seed * 1000 + unsigned(zoom));
            canvas->setGeometry(0, 0, 640, 560);
            open(randomForm(random), zoom);
            ASSERT_TRUE(canvas->backBuffer() == fullRender()) << "zoom " << zoom;
            int regionRenders = 0;
            for (int step = 0; step < 12; ++step) {
                selectAtRandom(random);
                if (!canvas->hasSelection())
                    continue;
                const formdesc::FormModel before = canvas->document().model();
                const std::string edit = editAtRandom(random);
                const long long renders = canvas->renderCount();
                const long long regions = canvas->regionRenderCount();
                canvas->viewport()->repaint();
                // A drag that moved nothing (let go in the cell it started
                // in) changes no record and is shown as before.
                if (!sameRecords(before, canvas->document().model())) {
                    ASSERT_EQ(canvas->renderCount(), renders)
                        << edit << " at zoom " << zoom << " rendered everything";
                    regionRenders += int(canvas->regionRenderCount() - regions);
                }
                const QImage expected = shown(fullRender());
                ASSERT_TRUE(shown(canvas->backBuffer()) == expected)
                    << "zoom " << zoom << ", seed " << seed << ", step " << step << ", "
                    << canvas->selection().size() << " items, " << edit << ": "
                    << difference(shown(canvas->backBuffer()), expected);
            }
            EXPECT_GE(regionRenders, 6) << "zoom " << zoom << ", seed " << seed;

            // A larger window with the page where it was: the rest is rendered now.
            const long long renders = canvas->renderCount();
            const editor::CanvasView view = canvas->view();
            canvas->setGeometry(0, 0, 800, 800);
            canvas->viewport()->repaint();
            if (editor::samePlacement(view, canvas->view()))
                EXPECT_EQ(canvas->renderCount(), renders) << "zoom " << zoom;
            const QImage expected = shown(fullRender());
            ASSERT_TRUE(shown(canvas->backBuffer()) == expected)
                << "zoom " << zoom << ", seed " << seed
                << ", the window grown: " << difference(shown(canvas->backBuffer()), expected);
        }
    }
}

// What the region road cannot bound renders everything: a zoom after a
// step, and an edit made while a full render was already asked for.
TEST_F(RegionRenderTest, AnythingElseStillRendersTheWholeForm) {
    std::mt19937 random(7);
    open(randomForm(random), 100);
    canvas->setToolMode(formdesc::kKindBase);
    canvas->selectAll();
    canvas->viewport()->repaint();

    const long long renders = canvas->renderCount();
    mouse->key(Qt::Key_Right);
    canvas->setZoom(75);
    canvas->viewport()->repaint();
    EXPECT_EQ(canvas->renderCount(), renders + 1);
    EXPECT_TRUE(canvas->backBuffer() == fullRender());

    canvas->requestFullRedraw();
    mouse->key(Qt::Key_Down);
    canvas->viewport()->repaint();
    EXPECT_EQ(canvas->renderCount(), renders + 2);
    EXPECT_TRUE(canvas->backBuffer() == fullRender());
}
