#pragma once

#include "editor/canvas/Selection.h"
#include "formdesc/FormModel.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The block that carries copied items through the system clipboard under the
// format name "TABRIK_FORMAT": seven little-endian 32-bit numbers (the
// bounding cells, the field count, the figure count, the records' byte
// length), then the field records and the figure records byte for byte.
namespace editor {

struct ClipboardItems {
    CellSpan bounds;
    std::vector<formdesc::FieldInfo> fields;
    std::vector<formdesc::FigureInfo> figures;
};

class ClipboardBlock {
  public:
    static constexpr int kHeaderSize = 28;

    // The selected records (fields first, then figures, each in selection
    // order) with the selection's bounding cells. Empty for an empty selection.
    static std::vector<std::uint8_t> encode(const formdesc::FormModel& model, const Selection& selection);

    // The items of a block, or nothing when the block is not one we can use
    // safely (short, counts or length that do not add up, cells off any grid,
    // unknown kinds, texts without their terminating NUL, barcode attributes
    // that no statement gives).
    static std::optional<ClipboardItems> decode(std::span<const std::uint8_t> bytes);
};

} // namespace editor
