#pragma once

#include <optional>
#include <string_view>

// What a data file holds: the character image of the pages (one line per
// form row), or records with named values.
namespace runtime {

enum class DataFormat {
    Lines, // the character image, as always
    Csv,   // a header of names, then records
    Json,  // an array of documents
};

// A value as written in a control statement or on the command line, already
// upper-cased: CSV or JSON (LINES names the character image).
inline std::optional<DataFormat> parseDataFormat(std::string_view upperText) {
    if (upperText == "CSV")
        return DataFormat::Csv;
    if (upperText == "JSON")
        return DataFormat::Json;
    if (upperText == "LINES")
        return DataFormat::Lines;
    return std::nullopt;
}

} // namespace runtime
