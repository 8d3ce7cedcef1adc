#include "runtime/data/DataRecord.h"

#include <algorithm>

#include "formdesc/ShiftJis.h"

namespace runtime {

std::string_view DataRecord::tagView() const {
    return formdesc::sjis::view(tag);
}

std::string_view DataRecord::columns(int first, int last) const {
    constexpr int kCells = static_cast<int>(sizeof(text));
    first = std::max(first, 1);
    last = std::min(last, kCells);
    if (first > last)
        return {};
    return std::string_view(text + (first - 1), static_cast<std::size_t>(last - first + 1));
}

} // namespace runtime
