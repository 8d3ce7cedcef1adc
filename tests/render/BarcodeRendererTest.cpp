#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "formdesc/Barcode.h"
#include "render/BarcodeCache.h"
#include "render/BarcodeRenderer.h"
#include "tests/support/RecordingBackend.h"

using platform::Rect;
using render::BarcodeCache;
using render::BarcodeRenderer;
using render::BarcodeSymbol;
using testsupport::RecordingBackend;

namespace {

using Call = RecordingBackend::Call;

// One logical unit is one device pixel (text mode, no offset).
struct Device {
    RecordingBackend backend{300, 300};
    platform::DeviceContext dc{backend};

    std::vector<Rect> fills() const {
        std::vector<Rect> rects;
        for (const Call& call : backend.of(Call::Fill))
            rects.push_back(call.rect);
        return rects;
    }
};

Rect bounds(const std::vector<Rect>& rects) {
    Rect b{rects.front()};
    for (const Rect& r : rects)
        b = {std::min(b.left, r.left), std::min(b.top, r.top), std::max(b.right, r.right),
             std::max(b.bottom, r.bottom)};
    return b;
}

// The narrowest bar or module across, in pixels.
int narrowest(const std::vector<Rect>& rects) {
    int n = rects.front().right - rects.front().left;
    for (const Rect& r : rects)
        n = std::min(n, r.right - r.left);
    return n;
}

} // namespace

// The symbol stays inside its box (both end points of the box belong to it),
// is centred, and gets whole-pixel modules when they fit; 2D modules are square.
TEST(BarcodeRenderer, PlacesTheSymbolInsideItsBoxCentredAndSnapped) {
    struct Case {
        int type;
        Rect box;          // logical (x1, y1)-(x2, y2)
        bool wholeModules; // the box is large enough for at least 1 pixel a module
    };
    const Case cases[] = {
        {formdesc::kBarcodeQr, {100, 100, 399, 399}, true},    // 29 modules with quiet zones in 300
        {formdesc::kBarcodeQr, {100, 100, 499, 250}, true},    // wide: the height decides
        {formdesc::kBarcodeQr, {0, 0, 19, 19}, false},         // too small for a pixel a module
        {formdesc::kBarcodeCode128, {50, 20, 850, 120}, true}, // bars fill the height
        {formdesc::kBarcodeDataMatrix, {10, 10, 210, 110}, true},
        {formdesc::kBarcodeJan13, {0, 0, 700, 200}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(formdesc::barcodeTypeName(c.type)));
        const bool square = formdesc::isTwoDimensional(c.type);
        const BarcodeSymbol symbol =
            render::encodeBarcode(c.type, 0, false, render::sampleBarcodeContent(c.type));
        ASSERT_TRUE(symbol.ok()) << symbol.error;
        Device device;
        BarcodeRenderer::draw(device.dc, c.box, symbol, square, 0);
        const std::vector<Rect> fills = device.fills();
        ASSERT_FALSE(fills.empty());
        const Rect b = bounds(fills);
        EXPECT_GE(b.left, c.box.left);
        EXPECT_GE(b.top, c.box.top);
        EXPECT_LE(b.right, c.box.right + 1);
        EXPECT_LE(b.bottom, c.box.bottom + 1);

        const Rect pixels{c.box.left, c.box.top, c.box.right + 1, c.box.bottom + 1};
        const BarcodeRenderer::Placement p = BarcodeRenderer::place(symbol, pixels, square);
        EXPECT_EQ(p.module == static_cast<int>(p.module), c.wholeModules) << p.module;
        if (c.wholeModules)
            EXPECT_EQ(narrowest(fills), static_cast<int>(p.module));
        if (square) {
            EXPECT_EQ(p.barScale, p.module);
            // Centred: the quiet zones on either side differ by at most a pixel.
            const double quiet = (pixels.right - pixels.left - symbol.width * p.module) / 2;
            EXPECT_LE(std::abs(p.left - pixels.left - quiet), 1.0);
        } else {
            // Linear: the bars run from the top of the box to near its bottom.
            EXPECT_LE(b.top - c.box.top, 1);
            EXPECT_GE(b.bottom - c.box.top, (c.box.bottom - c.box.top) * 9 / 10);
        }
    }
}

// A content libzint refuses draws a thin cross over the box and nothing else;
// the reason comes back with the symbol.
TEST(BarcodeRenderer, BadContentDrawsACrossAndGivesTheReason) {
    const struct {
        int type;
        const char* content;
    } cases[] = {
        {formdesc::kBarcodeJan13, "49012345678X"},  // a letter
        {formdesc::kBarcodeJan13, "4901234567890"}, // a wrong check digit
        {formdesc::kBarcodeJan8, "12345"},          // too short for a JAN8
        {formdesc::kBarcodeItf, "12A4"},
        {formdesc::kBarcodeGs1128, "no AI"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const BarcodeSymbol symbol = render::encodeBarcode(c.type, 0, true, c.content);
        EXPECT_FALSE(symbol.ok());
        EXPECT_FALSE(symbol.error.empty());
        Device device;
        BarcodeRenderer::draw(device.dc, {10, 20, 110, 70}, symbol, false, 0xFF);
        EXPECT_TRUE(device.backend.of(Call::Fill).empty());
        const std::vector<Call> lines = device.backend.of(Call::Line);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].rect, (Rect{10, 20, 110, 70}));
        EXPECT_EQ(lines[1].rect, (Rect{110, 20, 10, 70}));
        EXPECT_EQ(lines[0].pen.width, 1);
        EXPECT_EQ(lines[0].pen.color, 0xFF);
    }
    // The check digit may be left out: libzint adds it.
    EXPECT_TRUE(render::encodeBarcode(formdesc::kBarcodeJan13, 0, false, "490123456789").ok());
}

// Every type encodes the sample that the designer draws for a field.
TEST(BarcodeRenderer, SampleContentEncodesForEveryType) {
    for (int type = 1; type <= formdesc::kBarcodeTypeCount; ++type) {
        const BarcodeSymbol symbol = render::encodeBarcode(type, 0, true, render::sampleBarcodeContent(type));
        EXPECT_TRUE(symbol.ok()) << formdesc::barcodeTypeName(type) << ": " << symbol.error;
    }
}

TEST(BarcodeRenderer, CacheEncodesEachContentOnce) {
    BarcodeCache cache;
    const BarcodeSymbol& a = cache.symbol(formdesc::kBarcodeQr, formdesc::kEccM, false, "A");
    cache.symbol(formdesc::kBarcodeQr, formdesc::kEccM, false, "B");
    const BarcodeSymbol& again = cache.symbol(formdesc::kBarcodeQr, formdesc::kEccM, false, "A");
    EXPECT_EQ(&a, &again);
    EXPECT_EQ(cache.encodings(), 2);
    // Another level is another symbol.
    cache.symbol(formdesc::kBarcodeQr, formdesc::kEccH, false, "A");
    EXPECT_EQ(cache.encodings(), 3);
}

// The postal customer barcode, read back bar by bar from what is drawn:
// F a long bar, A the upper half, D the lower half, T the short timing bar.
// The expected sequences were worked out by hand from the published
// character table (start FD, 20 characters padded with CC4, letters as a
// control code and a digit, the check character of the sum modulo 19, stop DF).
TEST(BarcodeRenderer, PostalBarcodeBarSequence) {
    const struct {
        const char* content;
        const char* bars;
    } cases[] = {
        // 〒263-0023 13-1: ... 3 1 3 - 1, nine CC4, check CC4
        {"263002313-1", "FDFDADAFDFAFTTFTTFDADFAFFTDFATFTFFTTDATDATDATDATDATDATDATDATDATDADF"},
        // 〒107-0014 1-3-2-B604: B is CC1 1, two CC4, check CC5
        {"10700141-3-2-B604", "FDFFTFTTAFDFTTFTTFFTFADFFTTFTDFATFTFDATFTDATFFTDAFFTTFADTDATDAATDDF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const BarcodeSymbol symbol = render::encodeBarcode(formdesc::kBarcodeJpPost, 0, false, c.content);
        ASSERT_TRUE(symbol.ok()) << symbol.error;
        Device device;
        BarcodeRenderer::draw(device.dc, {0, 0, 1599, 199}, symbol, true, 0);
        std::vector<Rect> bars = device.fills();
        const Rect b = bounds(bars);
        const int mid = (b.top + b.bottom) / 2;
        std::sort(bars.begin(), bars.end(), [](const Rect& x, const Rect& y) { return x.left < y.left; });
        std::string sequence;
        for (const Rect& bar : bars) {
            const bool top = bar.top == b.top;
            const bool bottom = bar.bottom == b.bottom;
            sequence += top && bottom ? 'F' : top ? 'A' : bottom ? 'D' : 'T';
            EXPECT_TRUE(bar.top < mid && bar.bottom > mid); // every bar crosses the middle
        }
        EXPECT_EQ(sequence, c.bars);
    }
}

// The symbol is the one asked for: eight JAN8 digits stay a JAN8 (not an
// EAN-13 padded with zeros) and Data Matrix is square, as its box is drawn.
TEST(BarcodeRenderer, EncodesTheSymbolAskedFor) {
    const struct {
        int type;
        const char* content;
        const char* hri; // the human-readable digits, joined
    } cases[] = {
        {formdesc::kBarcodeJan8, "96385074", "96385074"},
        {formdesc::kBarcodeJan8, "9638507", "96385074"},
        {formdesc::kBarcodeJan13, "4569951116179", "4569951116179"},
        {formdesc::kBarcodeJan13, "456995111617", "4569951116179"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const BarcodeSymbol symbol = render::encodeBarcode(c.type, 0, true, c.content);
        ASSERT_TRUE(symbol.ok()) << symbol.error;
        std::string hri;
        for (const BarcodeSymbol::Text& text : symbol.texts)
            hri += text.text;
        EXPECT_EQ(hri, c.hri);
    }
    EXPECT_FALSE(render::encodeBarcode(formdesc::kBarcodeJan8, 0, false, "96385075").ok()); // check digit
    const BarcodeSymbol matrix = render::encodeBarcode(formdesc::kBarcodeDataMatrix, 0, false, "DM-PAGE-1");
    EXPECT_EQ(matrix.width, matrix.height);
}
