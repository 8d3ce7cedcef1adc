#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "formdesc/Barcode.h"
#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "runtime/compose/PageComposer.h"
#include "runtime/compose/PageRules.h"
#include "tests/support/FormRecords.h"
#include "tests/support/RecordingBackend.h"

using platform::Rect;
using runtime::PageBuffer;
using runtime::PageComposer;
using testsupport::RecordingBackend;

namespace {

using Call = RecordingBackend::Call;

constexpr int kDpi = 720;
constexpr formdesc::PageGeometry kGrid{20, 40, 100, 50, 5000, 4000};

std::unique_ptr<formdesc::FormModel> newModel(bool tagMode) {
    auto model = std::make_unique<formdesc::FormModel>();
    model->form.columns = 40;
    model->form.rows = 20;
    model->form.tagMode = tagMode ? 1 : 0;
    formdesc::sjis::storeWhole(model->form.fontName, sizeof model->form.fontName, "Mincho");
    model->form.fontSize = 40;
    return model;
}

formdesc::FieldInfo field(int startCol, int endCol, int row, const char* tag, const char* constant = "") {
    formdesc::FieldInfo f{};
    f.startCol = startCol;
    f.endCol = endCol;
    f.startRow = f.endRow = row;
    formdesc::sjis::storeBytes(f.tag, sizeof f.tag, 8, tag);
    formdesc::sjis::storeWhole(f.fontName, sizeof f.fontName, "Mincho");
    formdesc::sjis::storeWhole(f.constText, sizeof f.constText, constant);
    f.fontSize = 40;
    return f;
}

std::unique_ptr<PageBuffer> pageOf(const std::vector<std::string>& lines, const formdesc::FormInfo& form) {
    auto page = std::make_unique<PageBuffer>();
    for (const std::string& line : lines)
        page->addRecord(line, form);
    return page;
}

struct Canvas {
    RecordingBackend backend{kDpi, kDpi};
    platform::DeviceContext dc{backend};
    render::RenderContext context;
    std::unique_ptr<runtime::PreparedDeviceContext> prepared;

    explicit Canvas(const formdesc::FormInfo& form, int lastRow = 0)
        : context{dc, kGrid, render::RenderPolicy::print(form), kDpi} {
        context.policy.lastRow = lastRow;
        prepared = std::make_unique<runtime::PreparedDeviceContext>(dc, form, context.policy, kDpi);
    }
};

} // namespace

// What a barcode encodes: its constant, or the trimmed text of the first
// field with its tag (any case) that has text on the page.
TEST(BarcodeCompose, ContentFromConstantOrField) {
    const struct {
        const char* name;
        bool tagMode;
        formdesc::BarcodeAttributes barcode;
        std::vector<std::string> lines;
        std::string expected;
    } cases[] = {
        {"constant", false, {formdesc::kBarcodeQr, false, 0, false, " AB "}, {"xyz"}, " AB "},
        {"row mode, trimmed",
         false,
         {formdesc::kBarcodeQr, false, 0, true, "code"},
         {"", "   12 34  "},
         "12 34"},
        {"row mode, no text", false, {formdesc::kBarcodeQr, false, 0, true, "CODE"}, {"", "          x"}, ""},
        {"tag mode, any case",
         true,
         {formdesc::kBarcodeQr, false, 0, true, "Code"},
         {"OTHER  |zzz", "CODE   |  4901 "},
         "4901"},
        {"tag mode, first with text",
         true,
         {formdesc::kBarcodeQr, false, 0, true, "CODE"},
         {"CODE   |   ", "CODE   |B2"},
         "B2"},
        {"no such tag", true, {formdesc::kBarcodeQr, false, 0, true, "NONE"}, {"CODE   |B2"}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto model = newModel(c.tagMode);
        // Row mode: the field takes row 2, columns 3 to 10.
        model->appendField(field(3, 10, 2, "CODE"));
        model->appendField(field(1, 8, 1, "CODE")); // tag mode: the same tag again
        if (c.tagMode) {
            model->fields[0] = field(1, 8, 1, "CODE");
            model->fieldCount = 1;
        }
        const auto page = pageOf(c.lines, model->form);
        const std::span<const formdesc::FieldInfo> fields(model->fields.data(), model->fieldCount);
        EXPECT_EQ(runtime::barcodeContent(c.barcode, fields, page->records(), c.tagMode), c.expected);
    }
}

// Barcodes come with the figures: after the fills, before the texts; on every
// copy of a loop, cut by the last row; a field's constant text is what it
// encodes, and the field still prints.
TEST(BarcodeCompose, DrawnWithTheFiguresOnEveryCopy) {
    auto model = newModel(false);
    formdesc::FigureInfo fill = testsupport::figureRecord(formdesc::kKindRect, 1, 1, 2, 2);
    fill.meshKind() = formdesc::kMeshFillOnly;
    model->appendFigure(fill);
    formdesc::FigureInfo code = testsupport::barcodeRecord(5, 3, 12, 6, formdesc::kBarcodeQr, "Q", true);
    code.loopDir = formdesc::kLoopV;
    code.loopCount = 2;
    code.loopPitch = 5; // rows 3-6, 8-11, 13-16
    model->appendFigure(code);
    model->appendField(field(1, 4, 1, "Q", "ABC"));

    for (const int lastRow : {0, 12}) {
        SCOPED_TRACE(lastRow);
        Canvas canvas(model->form, lastRow);
        const auto page = pageOf({"    "}, model->form);
        PageComposer(*model).composePage(canvas.context, *page, 1);
        const std::vector<Call>& calls = canvas.backend.calls;
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.front().kind, Call::Fill); // the rectangle's fill
        // The symbol's modules: all fills after the first, before any character.
        std::vector<int> tops;
        std::size_t k = 1;
        int firstTop = -1;
        for (; k < calls.size() && calls[k].kind == Call::Fill; ++k) {
            if (firstTop < 0 || calls[k].rect.top < firstTop)
                firstTop = calls[k].rect.top;
        }
        const std::size_t modules = k - 1;
        ASSERT_GT(modules, 0u);
        for (; k < calls.size(); ++k)
            EXPECT_EQ(calls[k].kind, Call::Char);
        EXPECT_EQ(canvas.backend.text(), "ABC");
        // One QR of "ABC" with the same modules per copy: three copies, or
        // two when the last row cuts off the third that starts below it.
        const render::BarcodeSymbol symbol = render::encodeBarcode(formdesc::kBarcodeQr, 0, false, "ABC");
        EXPECT_EQ(modules, symbol.bars.size() * (lastRow ? 2 : 3));
    }
}

// A content that cannot be encoded: the page prints with a cross, and the
// job warns once per item, naming the page, the item and the reason.
TEST(BarcodeCompose, BadContentWarnsOncePerItem) {
    auto model = newModel(true);
    model->appendFigure(testsupport::barcodeRecord(1, 3, 12, 6, formdesc::kBarcodeJan13, "JAN", true));
    model->appendFigure(testsupport::barcodeRecord(20, 3, 30, 6, formdesc::kBarcodeJan13, "4901234567894"));
    model->appendField(field(1, 13, 1, "JAN"));

    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scoped(sink);
    PageComposer composer(*model);
    for (int pageNumber = 1; pageNumber <= 3; ++pageNumber) {
        Canvas canvas(model->form);
        // Page 1 is good; pages 2 and 3 have letters in the JAN code.
        const auto page = pageOf({pageNumber == 1 ? "JAN    |490123456789" : "JAN    |49A"}, model->form);
        composer.composePage(canvas.context, *page, pageNumber);
        EXPECT_EQ(canvas.backend.of(Call::Line).size(), pageNumber == 1 ? 0u : 2u);
        EXPECT_FALSE(canvas.backend.of(Call::Fill).empty()); // the good barcode still prints
        EXPECT_EQ(canvas.backend.text(), pageNumber == 1 ? "490123456789" : "49A");
    }
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].caption, formdesc::kCaptionWarning);
    const std::string& text = sink.messages[0].text;
    EXPECT_NE(text.find("2 ページ目"), std::string::npos) << text;
    EXPECT_NE(text.find("図形 1"), std::string::npos) << text;
    EXPECT_NE(text.find("JAN13"), std::string::npos) << text;
    EXPECT_NE(text.find("フィールド JAN"), std::string::npos) << text;
    EXPECT_NE(text.find("JAN13 は 12 桁か 13 桁"), std::string::npos) << text;
}

// The preview composes inside a paint event: its warnings wait until the
// caller shows them, and still come once however often the page is redrawn.
TEST(BarcodeCompose, PreviewKeepsWarningsUntilShown) {
    auto model = newModel(false);
    model->appendFigure(testsupport::barcodeRecord(1, 3, 12, 6, formdesc::kBarcodeJan8, "ABC"));
    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scoped(sink);
    PageComposer composer(*model, {}, PageComposer::PageUse::Recompose);
    const auto page = pageOf({"x"}, model->form);
    for (int repaint = 0; repaint < 3; ++repaint) {
        Canvas canvas(model->form);
        composer.composePage(canvas.context, *page, 1);
        EXPECT_EQ(canvas.backend.of(Call::Line).size(), 2u);
    }
    EXPECT_TRUE(sink.messages.empty());
    ASSERT_TRUE(composer.hasPendingWarnings());
    composer.showPendingWarnings();
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].text.find("固定値 ABC"), std::string::npos) << sink.messages[0].text;
    EXPECT_FALSE(composer.hasPendingWarnings());
}
