#include "runtime/data/RecordMessages.h"

#include "formdesc/FormMessages.h"
#include "formdesc/MessageSink.h"

namespace runtime {

std::string recordErrorText(const RecordError& error) {
    return "帳票データ - " + std::to_string(error.line) + "行目 " + std::to_string(error.column) +
           "文字目: " + error.what;
}

void reportRecordError(const RecordError& error) {
    formdesc::messageSink().show(formdesc::kCaptionError, recordErrorText(error),
                                 formdesc::MessageIcon::Exclamation);
}

std::string cutValuesText(std::uint64_t count) {
    return "帳票データ - 欄に入りきらない値を切り詰めました（" + std::to_string(count) + "件）";
}

std::string unknownNamesText(const std::vector<std::string>& names) {
    std::string text = "帳票データ - 帳票にないタグの名前を無視しました：";
    for (std::size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : "、") + names[i];
    return text;
}

void reportRecordWarnings(std::uint64_t cutValues, const std::vector<std::string>& unknownNames) {
    if (cutValues > 0)
        formdesc::messageSink().show(formdesc::kCaptionWarning, cutValuesText(cutValues),
                                     formdesc::MessageIcon::Exclamation);
    if (!unknownNames.empty())
        formdesc::messageSink().show(formdesc::kCaptionWarning, unknownNamesText(unknownNames),
                                     formdesc::MessageIcon::Exclamation);
}

} // namespace runtime
