#include "formdesc/FormSlots.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace formdesc;

namespace {

void addField(FormModel& model, const char* tag, int col, int row) {
    FieldInfo field{};
    field.startCol = col;
    field.endCol = col + 5;
    field.startRow = row;
    field.endRow = row;
    std::strcpy(field.tag, tag);
    model.appendField(field);
}

} // namespace

// Slot order follows the first line of each slot; lines follow row order
// whatever the file order; untagged fields and case differences as the
// reader leaves them are handled.
TEST(FormSlotsTest, slotsInRowOrderWithLinesInRowOrder) {
    FormModel model;
    addField(model, "ITEM", 1, 9);
    addField(model, "ITEM", 1, 7);
    addField(model, "", 1, 1);
    addField(model, "DATE", 40, 2);
    addField(model, "NO", 1, 2);
    addField(model, "ITEM", 1, 8);
    addField(model, " TOTAL", 30, 9);

    const std::vector<FormSlot> slots = formSlots(model);
    ASSERT_EQ(slots.size(), 4u);
    EXPECT_EQ(slots[0].tag, "NO");
    EXPECT_EQ(slots[1].tag, "DATE");
    EXPECT_EQ(slots[2].tag, "ITEM");
    EXPECT_EQ(slots[2].fields, (std::vector<int>{1, 5, 0}));
    EXPECT_EQ(slots[3].tag, "TOTAL");
    EXPECT_EQ(slots[3].lineCount(), 1);
}

TEST(FormSlotsTest, keysIgnoreCaseAndBlanks) {
    EXPECT_EQ(slotKey(" invoice_No "), "INVOICE_NO");
    EXPECT_EQ(slotKey("\x82\x81\x82\x82"), "\x82\x60\x82\x61"); // full-width ａｂ
    EXPECT_EQ(slotKey(""), "");
}
