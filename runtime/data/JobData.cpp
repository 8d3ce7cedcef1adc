#include "runtime/data/JobData.h"

#include "runtime/data/RecordMessages.h"
#include "runtime/data/RuntimeMessages.h"

#include <algorithm>
#include <climits>

namespace runtime {

bool prepareJobData(DataSpool& data, const std::string& path, bool fromStandardInput,
                    const ControlOptions& options, const formdesc::FormModel& model) {
    if (options.dataFormat == DataFormat::Lines) {
        if (data.prepare(path, fromStandardInput, options.encoding))
            return true;
        reportDataFileError(data.spoolError());
        return false;
    }
    RecordOptions records;
    records.format = options.dataFormat;
    records.groupBy = options.groupBy;
    records.encoding = options.encoding;
    RecordResult result;
    const bool ready = data.prepareRecords(path, fromStandardInput, model, records, result);
    if (!ready && result.error.isSet()) {
        reportRecordError(result.error);
        return false;
    }
    if (!ready) {
        reportDataFileError(data.spoolError());
        return false;
    }
    reportRecordWarnings(result.cutValues, result.unknown);
    return true;
}

std::optional<int> countJobPages(const DataSpool& data, int rows, int wanted, FilePosition& start,
                                 LineHook beforeLine) {
    const std::optional<std::uint64_t> lines = data.lineParts();
    if (!lines || wanted > 1)
        return countPages(data.path(), rows, wanted, start, beforeLine);
    if (*lines == 0)
        return std::nullopt;
    const auto perPage = static_cast<std::uint64_t>(rowsPerPage(rows));
    start = 0;
    return static_cast<int>(
        std::min<std::uint64_t>(*lines / perPage + (*lines % perPage != 0 ? 1 : 0), INT_MAX));
}

} // namespace runtime
