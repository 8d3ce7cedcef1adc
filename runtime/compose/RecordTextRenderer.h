#pragma once

#include <span>

#include "formdesc/FormModel.h"
#include "render/FieldRenderer.h"
#include "runtime/data/DataRecord.h"

// The texts of the data records on a page: field texts with their flags, free
// text, the minus triangles and the field shading, drawn with the shared text
// step of the render layer. One renderer serves one page composition.
namespace runtime {

class RecordTextRenderer {
  public:
    RecordTextRenderer(const render::RenderContext& context, const formdesc::FormInfo& form);

    // The shared step: fonts, colours, spreading and metrics.
    render::FieldRenderer& text() { return m_text; }

    // The field's columns of the record, drawn at row `row` by its flags.
    void drawFieldText(const formdesc::FieldInfo& field, const DataRecord& record, int row);
    // The record's first `columns` cells, word by word, in the current style.
    void drawFreeText(const DataRecord& record, int row);
    // Tag mode: the field's row and the row below, half a cell wider on each side.
    void drawFieldShading(const formdesc::FieldInfo& field, int row);
    // Triangles in place of the '-' of a word, which become blanks.
    void drawMinusMarks(std::span<char> word, const formdesc::CellRect& rect, formdesc::ColorRef color);

  private:
    const formdesc::FormInfo& m_form;
    platform::DeviceContext& m_dc;
    formdesc::PageGeometry m_geometry;
    render::FieldRenderer m_text;
};

} // namespace runtime
