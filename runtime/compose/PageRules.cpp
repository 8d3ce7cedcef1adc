#include "runtime/compose/PageRules.h"

#include <algorithm>

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

namespace {

bool sameTag(std::string_view a, std::string_view b) {
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return upper(x) == upper(y); });
}

std::string_view trimBlanks(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

} // namespace

std::string barcodeContent(const formdesc::BarcodeAttributes& barcode,
                           std::span<const formdesc::FieldInfo> fields, std::span<const DataRecord> records,
                           bool tagMode) {
    if (!barcode.fromField)
        return barcode.text;
    for (const formdesc::FieldInfo& field : fields) {
        if (!sameTag(formdesc::sjis::view(field.tag), barcode.text))
            continue;
        for (std::size_t j = 0; j < records.size(); ++j) {
            if (!fieldAppliesTo(field, records[j], static_cast<int>(j), tagMode))
                continue;
            const std::string_view text = trimBlanks(records[j].columns(field.startCol, field.endCol));
            if (!text.empty())
                return std::string(text);
        }
    }
    return {};
}

} // namespace runtime
