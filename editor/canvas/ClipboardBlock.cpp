#include "editor/canvas/ClipboardBlock.h"

#include "formdesc/Barcode.h"

#include <algorithm>
#include <cstring>

namespace editor {

namespace {

using formdesc::FieldInfo;
using formdesc::FigureInfo;

constexpr std::int64_t kFieldBytes = sizeof(FieldInfo);
constexpr std::int64_t kFigureBytes = sizeof(FigureInfo);
constexpr formdesc::ColorRef kMaxColor = 0xFFFFFF;

void putLe32(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(bits >> shift));
}

std::int32_t getLe32(const std::uint8_t* at) {
    std::uint32_t bits = 0;
    for (int i = 3; i >= 0; --i)
        bits = (bits << 8) | at[i];
    return static_cast<std::int32_t>(bits);
}

template <typename Record> void putRecord(std::vector<std::uint8_t>& out, const Record& record) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&record);
    out.insert(out.end(), bytes, bytes + sizeof(Record));
}

bool inRange(int value, int low, int high) {
    return value >= low && value <= high;
}

// Cells that some form can hold: inside the largest grid, first before last.
bool validCells(const CellSpan& cells) {
    return inRange(cells.col1, 1, formdesc::kMaxGrid) &&
           inRange(cells.col2, cells.col1, formdesc::kMaxGrid) &&
           inRange(cells.row1, 1, formdesc::kMaxGrid) && inRange(cells.row2, cells.row1, formdesc::kMaxGrid);
}

template <std::size_t N> bool terminated(const char (&text)[N]) {
    return std::memchr(text, '\0', N) != nullptr;
}

bool validColor(formdesc::ColorRef color) {
    return inRange(color, 0, kMaxColor);
}

bool validFlag(std::int32_t flag) {
    return flag == 0 || flag == 1;
}

// The values a field read from a form file can have, as far as drawing and
// writing rely on them: the designer keeps a field one row high.
bool validField(const FieldInfo& field) {
    const CellSpan cells = CanvasGeometry::spanOf(field);
    return validCells(cells) && cells.row1 == cells.row2 && terminated(field.tag) &&
           terminated(field.fontName) && terminated(field.constText) && validColor(field.textColor) &&
           validColor(field.meshColor) && validFlag(field.wide) && validFlag(field.center) &&
           validFlag(field.space) && validFlag(field.onLine) && validFlag(field.minus) &&
           validFlag(field.mesh);
}

// A barcode's attribute bytes as the reader stores them for a statement that
// passes the check, its text terminated inside its area.
bool validBarcode(const FigureInfo& figure) {
    using formdesc::BarcodeLayout;
    const auto byte = [&figure](std::size_t offset) {
        return static_cast<unsigned char>(figure.reserved[offset]);
    };
    return inRange(byte(BarcodeLayout::kType), 1, formdesc::kBarcodeTypeCount) &&
           byte(BarcodeLayout::kHri) <= 1 && byte(BarcodeLayout::kEcc) <= formdesc::kEccH &&
           byte(BarcodeLayout::kFromField) <= 1 &&
           std::memchr(figure.reserved + BarcodeLayout::kText, '\0', BarcodeLayout::kTextBytes) != nullptr &&
           validColor(figure.lineColor) && inRange(figure.loopDir, formdesc::kLoopNone, formdesc::kLoopV);
}

bool validFigure(const FigureInfo& figure) {
    if (!validCells(CanvasGeometry::spanOf(figure)))
        return false;
    switch (figure.kind) {
    case formdesc::kKindBitmap:
        return terminated(figure.fileName());
    case formdesc::kKindBarcode:
        return validBarcode(figure);
    case formdesc::kKindLine:
        if (!inRange(figure.course, formdesc::kCourseH, formdesc::kCourseRU))
            return false;
        break;
    case formdesc::kKindRect:
        if (!inRange(figure.meshKind(), formdesc::kMeshFrameOnly, formdesc::kMeshFrameAndFill) ||
            !validColor(figure.meshColor))
            return false;
        break;
    default:
        return false;
    }
    return inRange(figure.lineType, formdesc::kLineSolid, formdesc::kLineDashDotDot) &&
           inRange(figure.lineWidth, formdesc::kWidthExtraFine, formdesc::kWidthExtraThick) &&
           validColor(figure.lineColor) && inRange(figure.loopDir, formdesc::kLoopNone, formdesc::kLoopV);
}

} // namespace

std::vector<std::uint8_t> ClipboardBlock::encode(const formdesc::FormModel& model,
                                                 const Selection& selection) {
    // Records travel with their corners in order: a form file may hold an
    // item written back to front, and such a block would be refused when
    // pasted. The drawing of an item does not depend on the order.
    std::vector<FieldInfo> fields;
    std::vector<FigureInfo> figures;
    CellSpan bounds{};
    bool first = true;
    const auto take = [&](auto record, auto& into) {
        const CellSpan cells = CanvasGeometry::spanOf(record);
        const CellSpan span{std::min(cells.col1, cells.col2), std::min(cells.row1, cells.row2),
                            std::max(cells.col1, cells.col2), std::max(cells.row1, cells.row2)};
        record.startCol = span.col1;
        record.startRow = span.row1;
        record.endCol = span.col2;
        record.endRow = span.row2;
        into.push_back(record);
        bounds = first ? span
                       : CellSpan{std::min(bounds.col1, span.col1), std::min(bounds.row1, span.row1),
                                  std::max(bounds.col2, span.col2), std::max(bounds.row2, span.row2)};
        first = false;
    };
    for (const SelectionEntry& entry : selection.entries()) {
        // An entry that names no record (never made by the canvas) is left out.
        if (entry.index < 0)
            continue;
        if (entry.kind == formdesc::kKindField) {
            if (entry.index < model.fieldCount)
                take(model.fields[static_cast<std::size_t>(entry.index)], fields);
        } else if (entry.index < model.figureCount) {
            take(model.figures[static_cast<std::size_t>(entry.index)], figures);
        }
    }
    if (fields.empty() && figures.empty())
        return {};

    const auto fieldCount = static_cast<std::int32_t>(fields.size());
    const auto figureCount = static_cast<std::int32_t>(figures.size());
    const auto length = static_cast<std::int32_t>(fieldCount * kFieldBytes + figureCount * kFigureBytes);
    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(kHeaderSize + length));
    for (std::int32_t value :
         {bounds.col1, bounds.row1, bounds.col2, bounds.row2, fieldCount, figureCount, length})
        putLe32(out, value);
    for (const FieldInfo& field : fields)
        putRecord(out, field);
    for (const FigureInfo& figure : figures)
        putRecord(out, figure);
    return out;
}

std::optional<ClipboardItems> ClipboardBlock::decode(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < static_cast<std::size_t>(kHeaderSize))
        return std::nullopt;
    const std::uint8_t* at = bytes.data();
    ClipboardItems items;
    items.bounds = {getLe32(at), getLe32(at + 4), getLe32(at + 8), getLe32(at + 12)};
    const std::int64_t fieldCount = getLe32(at + 16);
    const std::int64_t figureCount = getLe32(at + 20);
    const std::int64_t length = getLe32(at + 24);
    const auto validCount = [](std::int64_t n) { return n >= 0 && n <= formdesc::kMaxItems; };
    if (!validCount(fieldCount) || !validCount(figureCount) || fieldCount + figureCount < 1)
        return std::nullopt;
    // A block may be longer than its records (the system rounds allocations
    // up), never shorter.
    if (length != fieldCount * kFieldBytes + figureCount * kFigureBytes ||
        static_cast<std::uint64_t>(kHeaderSize + length) > bytes.size())
        return std::nullopt;
    if (!validCells(items.bounds))
        return std::nullopt;

    at += kHeaderSize;
    items.fields.resize(static_cast<std::size_t>(fieldCount));
    for (FieldInfo& field : items.fields) {
        std::memcpy(&field, at, sizeof field);
        at += sizeof field;
        if (!validField(field))
            return std::nullopt;
    }
    items.figures.resize(static_cast<std::size_t>(figureCount));
    for (FigureInfo& figure : items.figures) {
        std::memcpy(&figure, at, sizeof figure);
        at += sizeof figure;
        if (!validFigure(figure))
            return std::nullopt;
    }
    return items;
}

} // namespace editor
