#pragma once

#include <string>
#include <utility>
#include <vector>

// One document of named values as a reader delivers it: each name with its
// values in line order (one for a single value).
namespace runtime {

struct RecordDocument {
    std::vector<std::pair<std::string, std::vector<std::string>>> entries;

    void clear() { entries.clear(); }
};

} // namespace runtime
