#pragma once

#include <string>

#include "formdesc/FormModel.h"
#include "formdesc/PageGeometry.h"

// What the canvas writes into a field: its constant text, or a row of "X"
// (or "9" for a field that takes minus values) as long as the field is wide,
// and the box the text is spread over. Shift-JIS bytes throughout.
namespace editor {

class FieldSample {
  public:
    std::string text;
    formdesc::CellRect box;

    // box is the field's full-cell box; cellWidth the width of one column,
    // both in page pixels.
    static FieldSample make(const formdesc::FieldInfo& field, formdesc::CellRect box, int cellWidth);
};

} // namespace editor
