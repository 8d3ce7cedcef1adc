#include "runtime/compose/PageRules.h"

#include "formdesc/ShiftJis.h"

namespace runtime {

bool fieldAppliesTo(const formdesc::FieldInfo& field, const DataRecord& record, int recordIndex,
                    bool tagMode) {
    if (tagMode)
        return formdesc::sjis::view(field.tag) == record.tagView();
    const long long row = static_cast<long long>(recordIndex) + 1;
    return field.startRow <= row && row <= field.endRow;
}

int figureLastRow(int lastRow, bool lastPage) {
    return lastPage && lastRow > 0 ? lastRow : 0;
}

} // namespace runtime
