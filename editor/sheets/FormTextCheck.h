#pragma once

#include "formdesc/FormModel.h"

#include <optional>
#include <string>

class QString;

// Texts that the form file would give back differently. The reader cuts a
// statement at ';', a value at the next comma or quote, a line at "//", finds
// keys anywhere in the statement and upper-cases everything; a text that
// trips any of that would change the form on the next open, so the pages
// refuse it. The check writes the record with the writer and reads it back
// with the reader, so it follows both as they are.
namespace editor {

// Which text of the record would not read back as it is (upper-cased, as
// the reader does): an index into the record's texts in page order, or -1.
// Form: 0 title, 1 font name. Field: 0 tag, 1 font name, 2 constant.
// Bitmap: 0 file name. Lines and rectangles have no texts.
int brokenText(const formdesc::FormInfo& form);
int brokenText(const formdesc::FieldInfo& field, const formdesc::FormInfo& form);
int brokenText(const formdesc::FigureInfo& bitmap, const formdesc::FormInfo& form);

} // namespace editor
