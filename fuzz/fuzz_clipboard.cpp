// Clipboard blocks come from any program: a block is either refused whole or
// its items paste into a form without leaving the grid or passing a limit,
// are written to a form file that reads back to them, stay movable inside
// the grid, copy again to a block that reads back, and delete.
#include "editor/canvas/ClipboardBlock.h"
#include "editor/canvas/ItemEdits.h"
#include "formdesc/FormRoundTrip.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using editor::CellSpan;
using editor::ItemEdits;
using editor::Selection;

// Names the broken invariant before stopping (clang 14 has no source_location).
#define check(condition) checkAt((condition), #condition)

void checkAt(bool condition, const char* what) {
    if (condition)
        return;
    std::fprintf(stderr, "broken: %s\n", what);
    std::abort();
}

// Byte n from the end, 0 past the start: the form's grid, how full it is and
// where the paste goes come from the block's tail, so the fuzzer steers them.
int tailByte(const std::uint8_t* data, std::size_t size, std::size_t n) {
    return n < size ? data[size - 1 - n] : 0;
}

bool insideGrid(const CellSpan& c, int columns, int rows) {
    return c.col1 >= 1 && c.col1 <= c.col2 && c.col2 <= columns && c.row1 >= 1 && c.row1 <= c.row2 &&
           c.row2 <= rows;
}

void checkSelection(const formdesc::FormModel& model, const Selection& selection) {
    for (const editor::SelectionEntry& entry : selection.entries()) {
        check(insideGrid(entry.cells, model.form.columns, model.form.rows));
        if (entry.kind == formdesc::kKindField) {
            check(entry.index < model.fieldCount);
            check(entry ==
                  Selection::entryFor(model.fields[static_cast<std::size_t>(entry.index)], entry.index));
            check(entry.cells.row1 == entry.cells.row2);
        } else {
            check(entry.index < model.figureCount);
            check(entry ==
                  Selection::entryFor(model.figures[static_cast<std::size_t>(entry.index)], entry.index));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<editor::ClipboardItems> items = editor::ClipboardBlock::decode({data, size});
    if (!items)
        return 0;
    const auto pasted = static_cast<int>(items->fields.size() + items->figures.size());
    check(pasted >= 1 && items->fields.size() <= 1024 && items->figures.size() <= 1024);

    // The model is large; one serves every input.
    static const auto model = std::make_unique<formdesc::FormModel>();
    model->clear();
    model->setNewFormDefaults();
    model->form.columns = 1 + tailByte(data, size, 0) % formdesc::kMaxGrid;
    model->form.rows = 1 + tailByte(data, size, 1) % formdesc::kMaxGrid;
    // Records already on the form (left empty: only the counts matter here).
    model->fieldCount = tailByte(data, size, 2) * 4 % (formdesc::kMaxItems + 1);
    model->figureCount = tailByte(data, size, 3) * 4 % (formdesc::kMaxItems + 1);
    const int fieldsBefore = model->fieldCount;
    const int figuresBefore = model->figureCount;
    const editor::CellPoint target{1 + tailByte(data, size, 4) % model->form.columns,
                                   1 + tailByte(data, size, 5) % model->form.rows};

    Selection selection;
    const editor::PasteResult result = ItemEdits::paste(*model, *items, target, selection);
    if (result != editor::PasteResult::Pasted) {
        check(result == editor::PasteResult::OverLimit || result == editor::PasteResult::Unsavable);
        check(model->fieldCount == fieldsBefore && model->figureCount == figuresBefore && selection.empty());
        return 0;
    }
    check(model->fieldCount == fieldsBefore + static_cast<int>(items->fields.size()));
    check(model->figureCount == figuresBefore + static_cast<int>(items->figures.size()));
    check(model->fieldCount <= formdesc::kMaxItems && model->figureCount <= formdesc::kMaxItems);
    check(selection.size() == pasted);
    checkSelection(*model, selection);

    // The pasted records, alone in a form, are saved to a file that reads
    // back to them.
    static const auto pastedOnly = std::make_unique<formdesc::FormModel>();
    pastedOnly->clear();
    pastedOnly->form = model->form;
    for (int n = fieldsBefore; n < model->fieldCount; ++n)
        pastedOnly->appendField(model->fields[static_cast<std::size_t>(n)]);
    for (int n = figuresBefore; n < model->figureCount; ++n)
        pastedOnly->appendFigure(model->figures[static_cast<std::size_t>(n)]);
    check(!formdesc::firstChangedItem(*pastedOnly));

    // The arrow keys keep every item inside the grid.
    for (auto [dCol, dRow] : {std::pair{1, 0}, {0, 1}, {-1, 0}, {0, -1}}) {
        ItemEdits::nudge(*model, selection, dCol, dRow);
        checkSelection(*model, selection);
    }

    // What was pasted is a block again, and the same records come back.
    const std::vector<std::uint8_t> again = editor::ClipboardBlock::encode(*model, selection);
    const std::optional<editor::ClipboardItems> back = editor::ClipboardBlock::decode(again);
    check(back && back->fields.size() == items->fields.size() &&
          back->figures.size() == items->figures.size());
    for (std::size_t n = 0; n < back->fields.size(); ++n)
        check(
            formdesc::sameBytes(back->fields[n], model->fields[static_cast<std::size_t>(fieldsBefore) + n]));
    for (std::size_t n = 0; n < back->figures.size(); ++n)
        check(formdesc::sameBytes(back->figures[n],
                                  model->figures[static_cast<std::size_t>(figuresBefore) + n]));

    ItemEdits::remove(*model, selection);
    check(model->fieldCount == fieldsBefore && model->figureCount == figuresBefore && selection.empty());
    return 0;
}
