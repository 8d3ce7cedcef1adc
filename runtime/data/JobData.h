#pragma once

#include <string>

#include "formdesc/FormModel.h"
#include "runtime/data/ControlOptions.h"
#include "runtime/data/DataSpool.h"

namespace runtime {

// Makes a job's data ready in its spool: the character image as it is, or
// the pages built from CSV or JSON records (FORMAT), with their warnings
// shown. False, with the message shown, when the job must stop with the
// data failure code.
bool prepareJobData(DataSpool& data, const std::string& path, bool fromStandardInput,
                    const ControlOptions& options, const formdesc::FormModel& model);

} // namespace runtime
