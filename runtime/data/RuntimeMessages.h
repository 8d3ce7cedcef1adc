#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The messages of a job of the library, by their code among the "other"
// errors of the message table.
namespace runtime {

inline constexpr int kMessageDataFile = 2;    // the data file cannot be opened or read
inline constexpr int kMessageNoDevice = 6;    // no printer to print on
inline constexpr int kMessageCannotPrint = 7; // printing could not start or finish

// The job ran out of memory (an allocation failed somewhere in it).
inline constexpr const char* kNoMemoryText = "メモリが足りません";

void reportRuntimeError(int code);

// The data file's message, followed by the system's words for why its
// private copy could not be written ("（No space left on device）") when
// systemError is not 0.
std::string dataFileErrorText(int systemError);
void reportDataFileError(int systemError);

// A value of the control statement that the job refuses, e.g.
// "制御情報 - XOFFSETの指定に誤りがあります"; caption "エラー".
std::string controlErrorText(std::string_view key);
void reportControlError(std::string_view key);

// After a job on UTF-8 data that had characters replaced by "？": how many,
// and the data line of the first; caption "警告".
std::string replacedCharactersText(std::uint64_t count, std::uint64_t firstLine);
void reportReplacedCharacters(std::uint64_t count, std::uint64_t firstLine);

// A print of a part of the job whose first page lies beyond the job's last,
// e.g. "帳票データ - 指定のページがありません（30ページ目から、全25ページ）".
std::string noPagesInRangeText(int firstPage, int pageCount);
void reportNoPagesInRange(int firstPage, int pageCount);

// Shows kNoMemoryText. Called once the failed job has been unwound; should
// showing it fail as well, the message is dropped rather than thrown.
void reportNoMemory() noexcept;

} // namespace runtime
