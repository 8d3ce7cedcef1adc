#pragma once

#include <cstdint>
#include <string>

// Where and why a CSV or JSON data file could not be read: the line and the
// column (from 1, in characters) and the system's own words for the fault.
namespace runtime {

struct RecordError {
    std::uint64_t line = 0;
    std::uint64_t column = 0;
    std::string what;

    bool isSet() const { return !what.empty(); }
};

} // namespace runtime
