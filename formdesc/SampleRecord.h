#pragma once

#include "formdesc/FormModel.h"

#include <string>
#include <string_view>
#include <vector>

// An example record for a form that is filled by name: a plausible value for
// every slot, fitted to its field, so that a user sees at once which names
// the form takes and how long their values may be. The designer's sample
// data file and zrk template both come from here.
namespace formdesc {

struct SampleSlot {
    std::string name;                // the slot's tag, UTF-8
    std::vector<std::string> values; // one example per line of the slot, UTF-8
    bool numeric = false;            // a numeric field (MINUS=ON) or a tag naming an amount
};

// The form's slots in slot order, each with its example values.
std::vector<SampleSlot> sampleRecord(const FormModel& model);

// A CSV text (RFC 4180, UTF-8, CR LF): a header of the slots' names and one
// record with the first line's example of each. Empty when the form has no
// slot.
std::string sampleCsv(const FormModel& model);

// What a form without tags is told: it has nothing to fill by name.
inline constexpr std::string_view kNoSlotsText = "タグを付けた項目がないため、サンプルデータはありません";

// One CSV field, quoted when it holds a comma, a quote, a line break or
// blanks at an end.
std::string csvField(std::string_view text);

} // namespace formdesc
