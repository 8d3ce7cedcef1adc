#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// One document of named values as a reader delivers it: each name with its
// values in line order (one for a single value).
namespace runtime {

struct RecordDocument {
    std::vector<std::pair<std::string, std::vector<std::string>>> entries;
    std::uint64_t line = 0; // where the document ends in its file, from 1

    void clear() { entries.clear(); }
};

} // namespace runtime
