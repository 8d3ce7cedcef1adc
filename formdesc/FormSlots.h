#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "formdesc/FormModel.h"

// The named places of a form that records fill by name. A slot is a field
// with a tag; fields that share a tag make one slot whose lines are those
// fields in row order (top to bottom, then left to right): the detail lines
// of an invoice. Slots come in the order of their first line, so a header of
// names reads like the form.
namespace formdesc {

struct FormSlot {
    std::string tag;         // the tag as a name matches it: trimmed, upper-cased (Shift-JIS)
    std::vector<int> fields; // indexes into the model's fields, one per line, in row order

    int lineCount() const { return static_cast<int>(fields.size()); }
};

// The form's slots in slot order; fields without a tag are left out.
std::vector<FormSlot> formSlots(const FormModel& model);

// A name as a slot's tag is compared with it: blanks off both ends and
// upper-cased (a-z and full-width ａ-ｚ), so names match tags without regard
// to case.
std::string slotKey(std::string_view name);

} // namespace formdesc
