#pragma once

#include <array>
#include <string_view>

// One line of the current page: its tag (tag mode) and its cells. Byte i of
// text is column i + 1; cells without data are blanks.
namespace runtime {

struct DataRecord {
    char tag[9];
    char text[256];

    std::string_view tagView() const;
    // Columns first..last (1-based, inclusive), clamped to the buffer.
    std::string_view columns(int first, int last) const;
};

constexpr int kMaxPageRecords = 256;

} // namespace runtime
