#pragma once

#include <span>
#include <string>

#include "formdesc/Barcode.h"
#include "formdesc/FormModel.h"
#include "runtime/data/DataRecord.h"

// The rules that decide, while a page is composed, which field takes which
// record and how far a figure reaches on the last page.
namespace runtime {

// Row mode: the field applies to record j (row j + 1) when its row range holds
// j + 1. Tag mode: when the record's tag equals the field's tag byte for byte;
// the field's rows play no part.
bool fieldAppliesTo(const formdesc::FieldInfo& field, const DataRecord& record, int recordIndex,
                    bool tagMode);

// The last-row rule: figures end at LASTROW on the last page of a job and
// are whole on every other page (and without LASTROW). The row at which the
// page's figures end, 0 for whole figures.
int figureLastRow(int lastRow, bool lastPage);

// What a barcode encodes on the page: its constant, or the text that the
// first field with its tag (letters in any case) receives from the page's
// records, without leading and trailing blanks; the first such text that is
// not blank. Empty when no record gives the field any text.
std::string barcodeContent(const formdesc::BarcodeAttributes& barcode,
                           std::span<const formdesc::FieldInfo> fields, std::span<const DataRecord> records,
                           bool tagMode);

} // namespace runtime
