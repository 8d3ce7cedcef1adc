#pragma once

#include "formdesc/FormMessages.h"
#include "formdesc/FormModel.h"

#include <optional>
#include <string_view>

// One rule for every record that enters a form (a paste, a property sheet, an
// open) and for every file the designer writes: a record is taken only when
// the writer's text of it reads back, through the designer's reader, to the
// same record. The same as the file holds it, that is: texts come back
// upper-cased and without the bytes after their NUL, a field takes the
// form's shading colour, a line or rectangle keeps no attribute it does not
// use, and a loop with no count keeps no direction or pitch. A text holding a quote, "//", ';', a line feed
// or the syntax of a statement or key changes the form it is read into, and fails.
namespace formdesc {

// The record in the form the file gives back (see above).
FormInfo asWritten(const FormInfo& form);
FieldInfo asWritten(const FieldInfo& field);
FigureInfo asWritten(const FigureInfo& figure);

// Whether the record, written in a form with this information, reads back
// as itself.
bool formSurvives(const FormInfo& form);
bool fieldSurvives(const FieldInfo& field, const FormInfo& form);
bool figureSurvives(const FigureInfo& figure, const FormInfo& form);

// The first item that the text, read back, gives differently from the
// model: the form information (kFormCodeChanged), or field or figure n
// (kItemCodeChanged, numbered from 1). Nothing when the text reads back to
// the model.
std::optional<FormError> firstChangedItem(const FormModel& model, std::string_view text);
// The same for the writer's text of the model.
std::optional<FormError> firstChangedItem(const FormModel& model);

} // namespace formdesc
