#include "runtime/data/JobData.h"

#include "runtime/data/RecordMessages.h"
#include "runtime/data/RuntimeMessages.h"

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

} // namespace runtime
