#include "PageRules.h"

#include "ShiftJis.h"

namespace runtime {

bool fieldAppliesTo(const formdesc::FieldInfo& field, const DataRecord& record, int recordIndex,
                    bool tagMode) {
    if (tagMode)
        return formdesc::sjis::view(field.tag) == record.tagView();
    const long long row = static_cast<long long>(recordIndex) + 1;
    return field.startRow <= row && row <= field.endRow;
}

bool applyLastRow(int lastRow, bool lastPage, int r1, int& r2) {
    if (lastRow <= 0 || !lastPage)
        return true;
    if (lastRow < r2)
        r2 = lastRow;
    return lastRow >= r1;
}

} // namespace runtime
