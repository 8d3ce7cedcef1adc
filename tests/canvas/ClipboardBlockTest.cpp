#include "editor/canvas/ClipboardBlock.h"
#include "tests/support/FormRecords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

using editor::ClipboardBlock;
using editor::ClipboardItems;
using editor::Selection;
using formdesc::FieldInfo;
using formdesc::FigureInfo;
using formdesc::FormModel;

namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& bytes, std::size_t at, std::int32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] =
            static_cast<std::uint8_t>(static_cast<std::uint32_t>(value) >> (8 * i));
}

std::int32_t get32(const Bytes& bytes, std::size_t at) {
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | bytes[at + static_cast<std::size_t>(i)];
    return static_cast<std::int32_t>(v);
}

// Two fields and three figures of every kind, selected out of array order.
struct Copied {
    std::unique_ptr<FormModel> model = std::make_unique<FormModel>();
    Selection selection;

    Copied() {
        model->setNewFormDefaults();
        FieldInfo amount = testsupport::fieldRecord(10, 4, 19, "AMOUNT");
        formdesc::sjis::storeBytes(amount.constText, sizeof amount.constText, 128, "1,234");
        amount.minus = 1;
        amount.mesh = 1;
        amount.meshColor = formdesc::rgb(1, 2, 3);
        model->appendField(testsupport::fieldRecord(2, 2, 8, "NAME"));
        model->appendField(amount);
        FigureInfo line = testsupport::lineRecord(3, 6, 40, 9, formdesc::kCourseLU, formdesc::kLineDash, 4);
        line.loopDir = formdesc::kLoopV;
        line.loopCount = 3;
        line.loopPitch = -2;
        model->appendFigure(line);
        model->appendFigure(testsupport::rectRecord(5, 5, 30, 12, formdesc::kMeshFrameAndFill));
        model->appendFigure(testsupport::bitmapRecord(50, 1, 60, 3, "C:\\LOGO.BMP"));
        selection.add(Selection::entryFor(model->figures[2], 2));
        selection.add(Selection::entryFor(model->fields[1], 1));
        selection.add(Selection::entryFor(model->figures[0], 0));
        selection.add(Selection::entryFor(model->fields[0], 0));
    }
};

constexpr std::size_t kFieldAt = ClipboardBlock::kHeaderSize;
constexpr std::size_t kFigureAt = kFieldAt + 2 * sizeof(FieldInfo);

TEST(ClipboardBlock, EncodesHeaderAndRecordsInSelectionOrderAndReadsThemBack) {
    const Copied copied;
    const Bytes block = ClipboardBlock::encode(*copied.model, copied.selection);
    ASSERT_EQ(block.size(), kFigureAt + 2 * sizeof(FigureInfo));
    // Bounds, then F, G and the records' length.
    const std::int32_t header[] = {2, 1, 60, 9, 2, 2, 2 * 228 + 2 * 280};
    for (std::size_t i = 0; i < std::size(header); ++i)
        EXPECT_EQ(get32(block, 4 * i), header[i]) << "header word " << i;
    // Fields first, then figures, each in the order they were selected.
    EXPECT_EQ(std::memcmp(&block[kFieldAt], &copied.model->fields[1], sizeof(FieldInfo)), 0);
    EXPECT_EQ(std::memcmp(&block[kFieldAt + sizeof(FieldInfo)], &copied.model->fields[0], sizeof(FieldInfo)),
              0);
    EXPECT_EQ(std::memcmp(&block[kFigureAt], &copied.model->figures[2], sizeof(FigureInfo)), 0);
    EXPECT_EQ(
        std::memcmp(&block[kFigureAt + sizeof(FigureInfo)], &copied.model->figures[0], sizeof(FigureInfo)),
        0);

    const std::optional<ClipboardItems> items = ClipboardBlock::decode(block);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->bounds, (editor::CellSpan{2, 1, 60, 9}));
    ASSERT_EQ(items->fields.size(), 2u);
    ASSERT_EQ(items->figures.size(), 2u);
    EXPECT_TRUE(formdesc::sameBytes(items->fields[0], copied.model->fields[1]));
    EXPECT_TRUE(formdesc::sameBytes(items->fields[1], copied.model->fields[0]));
    EXPECT_TRUE(formdesc::sameBytes(items->figures[0], copied.model->figures[2]));
    EXPECT_TRUE(formdesc::sameBytes(items->figures[1], copied.model->figures[0]));

    EXPECT_TRUE(ClipboardBlock::encode(*copied.model, Selection{}).empty());
}

TEST(ClipboardBlock, ReadsABlockWrittenByHandWithPaddingAtTheEnd) {
    // One field and one rectangle, laid out at the records' binding offsets,
    // in a block rounded up by 16 bytes as another program may leave it.
    Bytes block(28 + 228 + 280 + 16, 0);
    for (auto [at, value] : {std::pair{0, 4}, {4, 7}, {8, 20}, {12, 11}, {16, 1}, {20, 1}, {24, 508}})
        put32(block, static_cast<std::size_t>(at), value);
    const std::size_t f = 28;
    for (auto [at, value] : {std::pair{0, 4}, {4, 7}, {8, 12}, {12, 7}, {60, 105}, {64, 0x0000FF}, {68, 1}})
        put32(block, f + static_cast<std::size_t>(at), value);
    std::memcpy(&block[f + 16], "NO", 2);
    std::memcpy(&block[f + 96], "ABC", 3);
    const std::size_t g = f + 228;
    for (auto [at, value] : {std::pair{0, 22},
                             {4, 6},
                             {8, 8},
                             {12, 20},
                             {16, 11},
                             {20, 3},
                             {24, 5},
                             {28, 0xFF00},
                             {32, 1},
                             {36, 2},
                             {40, 4},
                             {44, 1},
                             {48, 0xABCDEF}})
        put32(block, g + static_cast<std::size_t>(at), value);

    const std::optional<ClipboardItems> items = ClipboardBlock::decode(block);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->bounds, (editor::CellSpan{4, 7, 20, 11}));
    ASSERT_EQ(items->fields.size(), 1u);
    const FieldInfo& field = items->fields[0];
    EXPECT_EQ(editor::CanvasGeometry::spanOf(field), (editor::CellSpan{4, 7, 12, 7}));
    EXPECT_STREQ(field.tag, "NO");
    EXPECT_STREQ(field.constText, "ABC");
    EXPECT_EQ(field.fontSize, 105);
    EXPECT_EQ(field.textColor, formdesc::rgb(255, 0, 0));
    EXPECT_EQ(field.wide, 1);
    ASSERT_EQ(items->figures.size(), 1u);
    const FigureInfo& rect = items->figures[0];
    EXPECT_EQ(rect.kind, formdesc::kKindRect);
    EXPECT_EQ(editor::CanvasGeometry::spanOf(rect), (editor::CellSpan{6, 8, 20, 11}));
    EXPECT_EQ(rect.lineType, formdesc::kLineDash);
    EXPECT_EQ(rect.lineWidth, formdesc::kWidthExtraThick);
    EXPECT_EQ(rect.lineColor, formdesc::rgb(0, 255, 0));
    EXPECT_EQ(rect.loopDir, formdesc::kLoopH);
    EXPECT_EQ(rect.loopCount, 2);
    EXPECT_EQ(rect.loopPitch, 4);
    EXPECT_EQ(rect.meshKind(), formdesc::kMeshFillOnly);
    EXPECT_EQ(rect.meshColor, 0xABCDEF);
}

TEST(ClipboardBlock, RefusesEveryBlockThatCouldNotComeFromAForm) {
    // The block of Copied holds AMOUNT and NAME, then the bitmap and the
    // line. Each row breaks one thing.
    const std::size_t field0 = kFieldAt;
    const std::size_t bitmap = kFigureAt;
    const std::size_t line = kFigureAt + sizeof(FigureInfo);
    struct Row {
        const char* what;
        std::function<void(Bytes&)> breakIt;
    };
    const auto set = [](std::size_t at, std::int32_t value) {
        return [=](Bytes& b) { put32(b, at, value); };
    };
    const auto fill = [](std::size_t at, std::size_t count) {
        return [=](Bytes& b) { std::memset(&b[at], 'X', count); };
    };
    const Row rows[] = {
        {"header cut short", [](Bytes& b) { b.resize(27); }},
        {"field count over 1024", set(16, 1025)},
        {"negative figure count", set(20, -1)},
        {"no records at all",
         [](Bytes& b) {
             put32(b, 16, 0);
             put32(b, 20, 0);
             put32(b, 24, 0);
         }},
        {"length that does not add up", set(24, 2 * 228 + 2 * 280 + 1)},
        {"counts and length agreeing on more records than the block holds",
         [](Bytes& b) {
             put32(b, 20, 3);
             put32(b, 24, 2 * 228 + 3 * 280);
         }},
        {"records truncated", [](Bytes& b) { b.pop_back(); }},
        {"bounds starting at column 0", set(0, 0)},
        {"bounds reaching row 256", set(12, 256)},
        {"bounds inverted", set(8, 1)},
        {"field at column 0", set(field0, 0)},
        {"field ending at column 256", set(field0 + 8, 256)},
        {"field of two rows", set(field0 + 12, 5)},
        {"figure inverted", set(line + 12, 2)},
        {"figure at row 0", set(line + 8, 0)},
        {"unknown figure kind", set(line, 23)},
        {"a field as a figure", set(bitmap, formdesc::kKindField)},
        {"tag without its NUL", fill(field0 + 16, 9)},
        {"font name without its NUL", fill(field0 + 25, 35)},
        {"constant text without its NUL", fill(field0 + 96, 132)},
        {"bitmap path without its NUL", fill(bitmap + 20, 260)},
        {"line type 7", set(line + 20, 7)},
        {"line width 0", set(line + 24, 0)},
        {"course 5", set(line + 44, 5)},
        {"loop direction 3", set(line + 32, 3)},
        {"colour past 24 bits", set(line + 28, 0x1000000)},
        {"field flag 2", set(field0 + 68, 2)},
        {"text colour negative", set(field0 + 64, -1)},
    };
    const Copied copied;
    const Bytes good = ClipboardBlock::encode(*copied.model, copied.selection);
    ASSERT_TRUE(ClipboardBlock::decode(good));
    for (const Row& row : rows) {
        Bytes bad = good;
        row.breakIt(bad);
        EXPECT_FALSE(ClipboardBlock::decode(bad)) << row.what;
    }
}

TEST(ClipboardBlock, RefusesARectangleWithAnUnknownMeshKind) {
    Copied copied;
    copied.selection.clear();
    copied.selection.add(Selection::entryFor(copied.model->figures[1], 1));
    Bytes block = ClipboardBlock::encode(*copied.model, copied.selection);
    ASSERT_TRUE(ClipboardBlock::decode(block));
    put32(block, kFieldAt + 44, 3);
    EXPECT_FALSE(ClipboardBlock::decode(block));
}

} // namespace

TEST(ClipboardBlock, AnItemWrittenBackToFrontTravelsWithItsCornersInOrder) {
    // A form file may hold a line from (10, 5) to (3, 2); copied, it must still paste.
    auto model = std::make_unique<FormModel>();
    model->setNewFormDefaults();
    model->appendFigure(testsupport::lineRecord(10, 5, 3, 2, formdesc::kCourseLU, formdesc::kLineSolid, 3));
    Selection selection;
    selection.add(Selection::entryFor(model->figures[0], 0));
    const Bytes block = ClipboardBlock::encode(*model, selection);
    const auto items = ClipboardBlock::decode(block);
    ASSERT_TRUE(items);
    EXPECT_EQ(items->bounds, (editor::CellSpan{3, 2, 10, 5}));
    EXPECT_EQ(editor::CanvasGeometry::spanOf(items->figures.at(0)), (editor::CellSpan{3, 2, 10, 5}));
    EXPECT_EQ(items->figures[0].course, formdesc::kCourseLU);
}
