#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "formdesc/FormModel.h"
#include "runtime/data/DataEncoding.h"
#include "runtime/data/DataFormat.h"
#include "runtime/data/RecordError.h"
#include "runtime/data/RecordPages.h"

namespace runtime {

struct RecordOptions {
    DataFormat format = DataFormat::Csv;
    // CSV: consecutive records with the same value of this name make one
    // document; empty: every record is one.
    std::string groupBy;
    // CSV: how its bytes are written (AUTO looks at the start). JSON is UTF-8.
    DataEncoding encoding = DataEncoding::Utf8;
};

struct RecordResult {
    bool ok = false;
    RecordError error;                      // set when the file is malformed
    std::uint64_t pages = 0;                // pages written
    std::optional<std::uint64_t> lineParts; // as the line reader reads them (RecordPages::lineParts)
    std::uint64_t cutValues = 0;            // values cut to fit their fields
    std::vector<std::string> unknown;       // names that match no tag (UTF-8)
    std::uint64_t replacements = 0;         // characters code page 932 cannot hold, as "？"
    std::uint64_t firstReplacedLine = 0;
};

// Reads CSV or JSON records from the file and writes the character image of
// their pages to the sink, line by line (Shift-JIS, without line feeds).
// The records are streamed: memory does not grow with the file.
RecordResult convertRecords(std::FILE* in, const formdesc::FormModel& model, const RecordOptions& options,
                            const RecordPages::LineSink& sink);

} // namespace runtime
