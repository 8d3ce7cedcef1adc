#include "editor/canvas/ClipboardBlock.h"
#include "editor/canvas/ItemEdits.h"
#include "formdesc/FormRoundTrip.h"
#include "tests/support/FormRecords.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

using editor::ClipboardBlock;
using editor::ItemEdits;
using editor::PasteResult;
using editor::Selection;
using formdesc::BarcodeLayout;
using formdesc::FigureInfo;
using formdesc::FormModel;

namespace {

using Bytes = std::vector<std::uint8_t>;

std::unique_ptr<FormModel> newForm() {
    auto model = std::make_unique<FormModel>();
    model->setNewFormDefaults();
    return model;
}

Bytes blockOf(const FigureInfo& figure) {
    const auto source = newForm();
    source->appendFigure(figure);
    Selection selection;
    selection.add(Selection::entryFor(figure, 0));
    return ClipboardBlock::encode(*source, selection);
}

// Copied, the block pastes and the form is saved as it is shown; a crafted
// record is refused by the block or, when only the file would change it, by
// the paste.
TEST(BarcodeClipboard, ABarcodePastesWholeAndACraftedOneIsRefused) {
    FigureInfo qr = testsupport::barcodeRecord(3, 4, 20, 12, formdesc::kBarcodeQr, "AMOUNT", true, false,
                                               formdesc::kEccH);
    qr.lineColor = formdesc::rgb(0, 0, 255);
    const Bytes good = blockOf(qr);
    const auto items = ClipboardBlock::decode(good);
    ASSERT_TRUE(items);
    auto model = newForm();
    Selection selection;
    ASSERT_EQ(ItemEdits::paste(*model, *items, {10, 20}, selection), PasteResult::Pasted);
    ASSERT_EQ(model->figureCount, 1);
    const FigureInfo& pasted = model->figures[0];
    EXPECT_EQ(formdesc::barcodeOf(pasted), formdesc::barcodeOf(qr));
    EXPECT_EQ(pasted.lineColor, qr.lineColor);
    EXPECT_EQ(pasted.endCol - pasted.startCol, 17);
    EXPECT_FALSE(formdesc::firstChangedItem(*model));

    constexpr std::size_t kAttributes = ClipboardBlock::kHeaderSize + 52;
    const auto set = [](std::size_t at, int value) { return [=](Bytes& b) { b[at] = std::uint8_t(value); }; };
    const std::pair<const char*, std::function<void(Bytes&)>> refusedByBlock[] = {
        {"no type", set(kAttributes + BarcodeLayout::kType, 0)},
        {"type 12", set(kAttributes + BarcodeLayout::kType, 12)},
        {"HRI 2", set(kAttributes + BarcodeLayout::kHri, 2)},
        {"ECC 5", set(kAttributes + BarcodeLayout::kEcc, 5)},
        {"content key 2", set(kAttributes + BarcodeLayout::kFromField, 2)},
        {"text without its NUL",
         [](Bytes& b) {
             std::memset(&b[kAttributes + BarcodeLayout::kText], 'X', BarcodeLayout::kTextBytes);
         }},
        {"colour past 24 bits", set(ClipboardBlock::kHeaderSize + 31, 1)},
        {"kind 26", set(ClipboardBlock::kHeaderSize, 26)},
    };
    for (const auto& [what, breakIt] : refusedByBlock) {
        Bytes bad = good;
        breakIt(bad);
        EXPECT_FALSE(ClipboardBlock::decode(bad)) << what;
    }

    // Valid bytes that the form file would not give back.
    FigureInfo hostile = qr;
    formdesc::storeBarcode(hostile,
                           {formdesc::kBarcodeCode128, false, 0, false, "A\";\nRECT LOCATE=(1, 1)-(2, 2)"});
    const auto hostileItems = ClipboardBlock::decode(blockOf(hostile));
    ASSERT_TRUE(hostileItems);
    EXPECT_EQ(ItemEdits::paste(*model, *hostileItems, {1, 1}, selection), PasteResult::Unsavable);
    EXPECT_EQ(model->figureCount, 1);
}

} // namespace
