#pragma once

#include "DataRecord.h"
#include "FormModel.h"

// The rules that decide, while a page is composed, which field takes which
// record and how far a figure reaches on the last page.
namespace runtime {

// Row mode: the field applies to record j (row j + 1) when its row range holds
// j + 1. Tag mode: when the record's tag equals the field's tag byte for byte;
// the field's rows play no part.
bool fieldAppliesTo(const formdesc::FieldInfo& field, const DataRecord& record, int recordIndex,
                    bool tagMode);

// The last-row rule for one figure (or one repetition of it) spanning rows
// r1..r2. Only on the last page and with lastRow above 0: r2 is shortened to
// lastRow, and the figure is not drawn when it starts below lastRow. Returns
// whether to draw it.
bool applyLastRow(int lastRow, bool lastPage, int r1, int& r2);

} // namespace runtime
