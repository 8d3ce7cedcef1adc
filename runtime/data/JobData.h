#pragma once

#include <optional>
#include <string>

#include "formdesc/FormModel.h"
#include "runtime/data/ControlOptions.h"
#include "runtime/data/DataPages.h"
#include "runtime/data/DataSpool.h"

namespace runtime {

// Makes a job's data ready in its spool: the character image as it is, or
// the pages built from CSV or JSON records (FORMAT), with their warnings
// shown. False, with the message shown, when the job must stop with the
// data failure code.
bool prepareJobData(DataSpool& data, const std::string& path, bool fromStandardInput,
                    const ControlOptions& options, const formdesc::FormModel& model);

// The pages of the job's data, noting where page `wanted` starts, as
// countPages gives them; for pages the spool built from records, without
// reading the file again when the part asked for starts at the first page.
std::optional<int> countJobPages(const DataSpool& data, int rows, int wanted, FilePosition& start,
                                 LineHook beforeLine = nullptr);

} // namespace runtime
