#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/data/RecordError.h"

// The messages of a job on CSV or JSON records.
namespace runtime {

// "帳票データ - 3行目 5文字目: 引用符が閉じられていません"; caption "エラー".
std::string recordErrorText(const RecordError& error);
void reportRecordError(const RecordError& error);

// Values cut to fit their fields, counted; caption "警告".
std::string cutValuesText(std::uint64_t count);
// Names in the data that match no tag of the form, each named once; caption "警告".
std::string unknownNamesText(const std::vector<std::string>& names);
void reportRecordWarnings(std::uint64_t cutValues, const std::vector<std::string>& unknownNames);

} // namespace runtime
