#pragma once

#include "editor/sheets/PropertyPageRules.h"
#include "formdesc/FormMessages.h"
#include "formdesc/FormModel.h"

#include <QString>

// Why a property page refused its values, in the words the page shows: the
// control's caption and what is wrong with it, or the item of the form that
// the new form information would leave outside its grid.
namespace editor {

// The caption of the control as the page shows it ("名称", "行数", ...).
QString captionOf(PageControl control);

// A text that has no exact Shift-JIS form within its limit.
QString textNotStoredReason(PageControl control);
// A text that the form file would give back differently: the first mark
// the file gives a meaning of its own (「"」「//」「;」, a line break, 「,」
// outside a constant) when the text holds one, else what it must not hold.
QString textChangedReason(PageControl control, const QString& text);
// A position edit outside the form's grid: the range it takes.
QString positionReason(PageControl control, const formdesc::FormInfo& form);
// A grid or margin that the reader refuses for the form alone.
QString layoutReason(PageControl control);
// A record whose written text reads back as another record.
QString recordChangedReason();

// What the reader's check of the whole form refuses, as a control of the
// form page and its reason: an empty title, a grid that leaves an item
// outside (the first one, with its cells), or the reader's own message.
struct FormRefusal {
    PageControl control = PageControl::Page;
    QString reason;
};
FormRefusal formRefusal(const formdesc::FormError& error, const formdesc::FormModel& model);

} // namespace editor
