#include <gtest/gtest.h>

#include <QImage>

#include <string>
#include <vector>

#include "render/BitmapCache.h"
#include "render/FieldRenderer.h"
#include "render/FigureRenderer.h"
#include "tests/render/DrawFigure.h"
#include "tests/support/FormRecords.h"
#include "tests/support/RecordingBackend.h"

using platform::Rect;
using render::FigureRenderer;
using render::RenderContext;
using render::RenderPolicy;
using testsupport::RecordingBackend;
using Call = RecordingBackend::Call;

namespace {

// A4 landscape in tenths of a millimetre, and A5 landscape.
constexpr int kA4W = 2970, kA4H = 2100, kA5W = 2100, kA5H = 1480;

formdesc::FormInfo form180x60() {
    formdesc::FormInfo form = testsupport::printForm180x60();
    form.fontSize = 100;
    return form;
}

// The print job's mapping for a form of formW x formH tenths on paper of
// paperW x paperH at the device's resolutions.
struct PrintedPage {
    RecordingBackend backend;
    platform::DeviceContext dc{backend};
    formdesc::FormInfo form = form180x60();
    RenderContext context;

    PrintedPage(int formW, int formH, int paperW, int paperH, int dpiX, int dpiY)
        : backend(dpiX, dpiY), context{dc, formdesc::printerGeometry(formW, formH, form, dpiX, dpiY),
                                       RenderPolicy::print(form), dpiY} {
        const formdesc::PrinterExtents extents =
            formdesc::printerExtents(formW, formH, paperW, paperH, dpiX, dpiY);
        dc.setMapMode(platform::MapMode::Isotropic);
        dc.setWindowExt(extents.form.width, extents.form.height);
        dc.setViewportExt(extents.paper.width, extents.paper.height);
        dc.setDeviceOffset(-40, -30); // a printable area that starts inside the paper
    }

    void draw(const formdesc::FigureInfo& figure) { drawFigure(context, form, figure); }

    Rect lastLine() const { return backend.of(Call::Line).back().rect; }
};

} // namespace

// Dense dots are drawn in device pixels; the page's mapping is the same
// afterwards, so that whatever follows lands where it would without them.
TEST(DenseDots, LeaveThePageMappingAsItWas) {
    using namespace formdesc;
    struct Case {
        const char* name;
        int formW, formH, paperW, paperH, dpiX, dpiY;
    };
    const Case cases[] = {
        {"A4 on A4, 600 dpi", kA4W, kA4H, kA4W, kA4H, 600, 600},
        {"A5 on A4, 600 dpi", kA5W, kA5H, kA4W, kA4H, 600, 600},
        {"A5 on A4, 600 x 1200 dpi", kA5W, kA5H, kA4W, kA4H, 600, 1200},
        {"A4 on A5, 1200 x 600 dpi", kA4W, kA4H, kA5W, kA5H, 1200, 600},
    };
    const FigureInfo dots[] = {
        testsupport::lineRecord(5, 2, 5, 20, kCourseV, kLineDenseDots, 0),
        testsupport::lineRecord(3, 4, 90, 4, kCourseH, kLineDenseDots, 0),
        [] {
            FigureInfo frame = testsupport::figureRecord(kKindRect, 10, 10, 40, 30);
            frame.lineType = kLineDenseDots;
            return frame;
        }(),
    };
    const FigureInfo after = testsupport::lineRecord(7, 50, 170, 50, kCourseH);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PrintedPage plain(c.formW, c.formH, c.paperW, c.paperH, c.dpiX, c.dpiY);
        plain.draw(after);

        PrintedPage dotted(c.formW, c.formH, c.paperW, c.paperH, c.dpiX, c.dpiY);
        const platform::Mapping before = dotted.dc.mapping();
        for (const FigureInfo& figure : dots) {
            dotted.draw(figure);
            EXPECT_EQ(dotted.dc.mapping(), before);
        }
        ASSERT_GT(dotted.backend.of(Call::Line).size(), 30u) << "the figures were dotted";
        dotted.draw(after);
        EXPECT_EQ(dotted.lastLine(), plain.lastLine());
    }
}

// One figure, one field box, drawn by the page's policies and the canvas's.
TEST(RenderPolicy, PenWidthsAndHeightTestByUser) {
    using namespace formdesc;
    struct Case {
        const char* name;
        RenderPolicy policy;
        int lineWidth;
        int expectedPen; // device pixels at one unit a pixel
    };
    const FormInfo form = form180x60();
    const Case pens[] = {
        // The page takes the width as checked; the canvas maps 1..5 and thins below 100 %.
        {"print 3", RenderPolicy::print(form), 3, 3},
        {"preview 3", RenderPolicy::preview(), 3, 3},
        {"canvas 1", RenderPolicy::canvas(100, nullptr), 1, 1},
        {"canvas 2", RenderPolicy::canvas(100, nullptr), 2, 1},
        {"canvas 5", RenderPolicy::canvas(100, nullptr), 5, 3},
        {"canvas 5 at 75 %", RenderPolicy::canvas(75, nullptr), 5, 2},
        {"canvas 4 at 50 %", RenderPolicy::canvas(50, nullptr), 4, 1},
    };
    for (const Case& c : pens) {
        SCOPED_TRACE(c.name);
        RecordingBackend backend(96, 96);
        platform::DeviceContext dc(backend);
        const RenderContext context{dc, {10, 20, 0, 0, 1800, 1200}, c.policy, 96};
        dc.selectPen(FigureRenderer::defaultPen(form, c.policy));
        drawFigure(context, form, testsupport::lineRecord(2, 2, 8, 2, kCourseH, kLineSolid, c.lineWidth));
        ASSERT_EQ(backend.of(Call::Line).size(), 1u);
        EXPECT_EQ(backend.of(Call::Line)[0].pen.width, c.expectedPen);
    }

    // A box one pixel lower than the font: the page grows it (bottom - top
    // is short), the canvas keeps it (it counts both edge rows).
    for (const bool canvas : {false, true}) {
        SCOPED_TRACE(canvas ? "canvas" : "page");
        RecordingBackend backend(720, 720);
        platform::DeviceContext dc(backend);
        const RenderPolicy policy = canvas ? RenderPolicy::canvas(100, nullptr) : RenderPolicy::preview();
        const RenderContext context{dc, {20, 40, 0, 0, 4000, 3000}, policy, 720};
        dc.selectFont(render::FieldRenderer::baseFont(form, 720)); // 100 units high
        render::FieldRenderer text(context, form);
        text.spreadText("AB", {0, 200, 100, 299});
        const std::vector<Call> chars = backend.of(Call::Char);
        ASSERT_EQ(chars.size(), 2u);
        EXPECT_EQ(chars[0].rect.top, canvas ? 200 : 199);
        EXPECT_EQ(chars[0].rect.bottom, canvas ? 299 : 300);
    }
}

// A bitmap that cannot be used, or that has no file yet: the page leaves its
// box empty, the canvas and the design sheet show the placeholder picture
// there (an unnamed item must stay visible to be picked), without a message.
TEST(RenderPolicy, MissingBitmapShowsThePlaceholderOnTheCanvasAndTheSheetOnly) {
    const formdesc::FormInfo form = form180x60();
    QImage placeholder(4, 3, QImage::Format_RGB32);
    placeholder.fill(Qt::gray);
    struct Row {
        const char* who;
        RenderPolicy policy;
        bool placeholderShown;
    };
    const Row rows[] = {
        {"print", RenderPolicy::print(form), false},
        {"preview", RenderPolicy::preview(), false},
        {"canvas", RenderPolicy::canvas(100, &placeholder), true},
        {"sheet", RenderPolicy::sheet(&placeholder), true},
    };
    for (const Row& row : rows) {
        for (const char* fileName : {"/NO/SUCH.BMP", ""}) {
            SCOPED_TRACE(std::string(row.who) + " with file name \"" + fileName + "\"");
            RecordingBackend backend(96, 96);
            platform::DeviceContext dc(backend);
            const RenderContext context{dc, {10, 20, 0, 0, 1800, 1200}, row.policy, 96};
            render::BitmapCache bitmaps({}, render::BitmapCache::Failures::Silent);
            FigureRenderer(context, form)
                .drawBitmap(testsupport::bitmapRecord(2, 2, 4, 3, fileName), bitmaps);
            const std::vector<Call> images = backend.of(Call::Image);
            ASSERT_EQ(images.size(), row.placeholderShown ? 1u : 0u);
            if (row.placeholderShown) {
                EXPECT_EQ(images[0].text, "4x3");
            }
        }
    }
}
