#include "editor/canvas/ItemEdits.h"

#include "formdesc/Barcode.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/ShiftJis.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <vector>

namespace editor {

namespace {

using formdesc::FieldInfo;
using formdesc::FigureInfo;
using formdesc::FormModel;

CellSpan normalised(const CellSpan& cells) {
    return {std::min(cells.col1, cells.col2), std::min(cells.row1, cells.row2),
            std::max(cells.col1, cells.col2), std::max(cells.row1, cells.row2)};
}

template <typename Record> void setCells(Record& record, const CellSpan& cells) {
    record.startCol = cells.col1;
    record.startRow = cells.row1;
    record.endCol = cells.col2;
    record.endRow = cells.row2;
}

// A field and a horizontal line are one row high, a vertical line one column wide.
CellSpan keepShape(const CellSpan& cells, int kind, int course) {
    CellSpan out = cells;
    if (kind == formdesc::kKindField || (kind == formdesc::kKindLine && course == formdesc::kCourseH))
        out.row2 = out.row1;
    if (kind == formdesc::kKindLine && course == formdesc::kCourseV)
        out.col2 = out.col1;
    return out;
}

// The record an entry names, or nullptr when the index is stale.
template <typename Model>
auto fieldOf(Model& model, const SelectionEntry& entry) -> decltype(&model.fields[0]) {
    if (entry.kind != formdesc::kKindField || entry.index < 0 || entry.index >= model.fieldCount)
        return nullptr;
    return &model.fields[static_cast<std::size_t>(entry.index)];
}

template <typename Model>
auto figureOf(Model& model, const SelectionEntry& entry) -> decltype(&model.figures[0]) {
    if (entry.kind == formdesc::kKindField || entry.index < 0 || entry.index >= model.figureCount)
        return nullptr;
    return &model.figures[static_cast<std::size_t>(entry.index)];
}

// Calls apply(record) for the record of an entry, whichever array it is in,
// and gives the entry the record's cells afterwards.
template <typename Apply> void forRecord(FormModel& model, SelectionEntry& entry, Apply&& apply) {
    if (FieldInfo* field = fieldOf(model, entry)) {
        apply(*field);
        entry.cells = CanvasGeometry::spanOf(*field);
    } else if (FigureInfo* figure = figureOf(model, entry)) {
        apply(*figure);
        entry.cells = CanvasGeometry::spanOf(*figure);
    }
}

CellSpan shifted(const CellSpan& cells, int dCol, int dRow) {
    return {cells.col1 + dCol, cells.row1 + dRow, cells.col2 + dCol, cells.row2 + dRow};
}

// Moves a span into the grid keeping its size; what is still outside (a span
// larger than the grid) is cut, so that no record lies off the form.
CellSpan fitIntoGrid(const CellSpan& cells, int columns, int rows) {
    CellSpan out = CanvasGeometry::clampIntoGrid(cells, columns, rows);
    out.col1 = std::max(out.col1, 1);
    out.row1 = std::max(out.row1, 1);
    out.col2 = std::min(out.col2, columns);
    out.row2 = std::min(out.row2, rows);
    return out;
}

// Closes the gaps left by the marked records, keeping the order of the rest,
// and clears the records that fall off the end. Returns the new count.
template <typename Record, std::size_t N>
int compact(std::array<Record, N>& records, int count, const std::vector<bool>& doomed) {
    int kept = 0;
    for (int n = 0; n < count; ++n) {
        const auto from = static_cast<std::size_t>(n);
        if (doomed[from])
            continue;
        if (kept != n)
            records[static_cast<std::size_t>(kept)] = records[from];
        ++kept;
    }
    for (int n = kept; n < count; ++n)
        std::memset(&records[static_cast<std::size_t>(n)], 0, sizeof(Record));
    return kept;
}

} // namespace

std::optional<SelectionEntry> ItemEdits::create(FormModel& model, int toolMode, const CellSpan& band,
                                                const CurrentAttributes& attributes, Selection& selection) {
    const CellSpan cells = normalised(band);
    if (toolMode == formdesc::kKindField) {
        if (model.fieldCount >= formdesc::kMaxItems)
            return std::nullopt;
        FieldInfo field{};
        setCells(field, keepShape(cells, formdesc::kKindField, 0));
        // Cut to the record's 34 bytes without splitting a double-byte character.
        const auto& name = attributes.fontName;
        formdesc::sjis::storeWhole(field.fontName, sizeof field.fontName,
                                   std::string_view(name.data(), strnlen(name.data(), name.size())));
        field.fontSize = attributes.fontSize;
        field.textColor = attributes.textColor;
        model.appendField(field);
        selection.clear();
        const SelectionEntry entry = Selection::entryFor(field, model.fieldCount - 1);
        selection.add(entry);
        return entry;
    }
    if (toolMode != formdesc::kKindLine && toolMode != formdesc::kKindRect &&
        toolMode != formdesc::kKindBitmap && toolMode != formdesc::kKindBarcode)
        return std::nullopt;
    if (model.figureCount >= formdesc::kMaxItems)
        return std::nullopt;
    FigureInfo figure{};
    figure.kind = toolMode;
    if (toolMode == formdesc::kKindBarcode) {
        // A new barcode shows a symbol at once: its type and sample from the
        // current attributes, in the current line colour.
        figure.lineColor = attributes.lineColor;
        formdesc::storeBarcode(figure, attributes.barcode);
    } else if (toolMode != formdesc::kKindBitmap) {
        figure.lineType = attributes.lineType;
        figure.lineWidth = attributes.lineWidth;
        figure.lineColor = attributes.lineColor;
    }
    if (toolMode == formdesc::kKindLine)
        figure.course = attributes.lineCourse;
    if (toolMode == formdesc::kKindRect) {
        figure.meshKind() = attributes.meshKind;
        figure.meshColor = attributes.meshColor;
    }
    setCells(figure, keepShape(cells, toolMode, figure.course));
    model.appendFigure(figure);
    selection.clear();
    const SelectionEntry entry = Selection::entryFor(figure, model.figureCount - 1);
    selection.add(entry);
    return entry;
}

void ItemEdits::move(FormModel& model, Selection& selection, int dCol, int dRow) {
    for (SelectionEntry& entry : selection.entries())
        forRecord(model, entry, [&](auto& record) {
            setCells(record, shifted(CanvasGeometry::spanOf(record), dCol, dRow));
        });
}

void ItemEdits::nudge(FormModel& model, Selection& selection, int dCol, int dRow) {
    const int columns = model.form.columns;
    const int rows = model.form.rows;
    for (SelectionEntry& entry : selection.entries())
        forRecord(model, entry, [&](auto& record) {
            const CellSpan moved = shifted(CanvasGeometry::spanOf(record), dCol, dRow);
            setCells(record, CanvasGeometry::clampIntoGrid(moved, columns, rows));
        });
}

void ItemEdits::resize(FormModel& model, SelectionEntry& entry, const CellSpan& cells) {
    const CellSpan wanted = normalised(cells);
    if (FieldInfo* field = fieldOf(model, entry)) {
        setCells(*field, keepShape(wanted, formdesc::kKindField, 0));
        entry.cells = CanvasGeometry::spanOf(*field);
    } else if (FigureInfo* figure = figureOf(model, entry)) {
        const int course = figure->kind == formdesc::kKindLine ? figure->course : 0;
        setCells(*figure, keepShape(wanted, figure->kind, course));
        entry.cells = CanvasGeometry::spanOf(*figure);
    }
}

void ItemEdits::refresh(const FormModel& model, Selection& selection) {
    for (SelectionEntry& entry : selection.entries()) {
        if (const FieldInfo* field = fieldOf(model, entry))
            entry = Selection::entryFor(*field, entry.index);
        else if (const FigureInfo* figure = figureOf(model, entry))
            entry = Selection::entryFor(*figure, entry.index);
    }
}

void ItemEdits::remove(FormModel& model, Selection& selection) {
    std::vector<bool> doomedFields(static_cast<std::size_t>(model.fieldCount), false);
    std::vector<bool> doomedFigures(static_cast<std::size_t>(model.figureCount), false);
    for (const SelectionEntry& entry : selection.entries()) {
        if (fieldOf(model, entry))
            doomedFields[static_cast<std::size_t>(entry.index)] = true;
        else if (figureOf(model, entry))
            doomedFigures[static_cast<std::size_t>(entry.index)] = true;
    }
    model.fieldCount = compact(model.fields, model.fieldCount, doomedFields);
    model.figureCount = compact(model.figures, model.figureCount, doomedFigures);
    selection.clear();
}

PasteResult ItemEdits::paste(FormModel& model, const ClipboardItems& items, CellPoint target,
                             Selection& selection) {
    const auto fieldCount = static_cast<int>(items.fields.size());
    const auto figureCount = static_cast<int>(items.figures.size());
    if (fieldCount + figureCount == 0)
        return PasteResult::Nothing;
    if (model.fieldCount + fieldCount > formdesc::kMaxItems ||
        model.figureCount + figureCount > formdesc::kMaxItems ||
        fieldCount + figureCount > Selection::kMaxEntries)
        return PasteResult::OverLimit;

    const int dCol = target.col - items.bounds.col1;
    const int dRow = target.row - items.bounds.row1;
    const int columns = model.form.columns;
    const int rows = model.form.rows;
    const auto place = [&](auto record) {
        setCells(record, fitIntoGrid(shifted(CanvasGeometry::spanOf(record), dCol, dRow), columns, rows));
        return record;
    };
    // Any record that the saved file would change refuses the block whole:
    // a text holding the file's syntax would cut or add items on the next
    // open, or make the file unreadable.
    for (const FieldInfo& copied : items.fields)
        if (!formdesc::fieldSurvives(place(copied), model.form))
            return PasteResult::Unsavable;
    for (const FigureInfo& copied : items.figures)
        if (!formdesc::figureSurvives(place(copied), model.form))
            return PasteResult::Unsavable;
    selection.clear();
    for (const FieldInfo& copied : items.fields) {
        const FieldInfo field = place(copied);
        model.appendField(field);
        selection.add(Selection::entryFor(field, model.fieldCount - 1));
    }
    for (const FigureInfo& copied : items.figures) {
        const FigureInfo figure = place(copied);
        model.appendFigure(figure);
        selection.add(Selection::entryFor(figure, model.figureCount - 1));
    }
    return PasteResult::Pasted;
}

} // namespace editor
