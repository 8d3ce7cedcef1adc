#pragma once

// The messages of a job of the library, by their code among the "other"
// errors of the message table.
namespace runtime {

inline constexpr int kMessageDataFile = 2;    // the data file cannot be opened or read
inline constexpr int kMessageNoDevice = 6;    // no printer to print on
inline constexpr int kMessageCannotPrint = 7; // printing could not start or finish

// The job ran out of memory (an allocation failed somewhere in it).
inline constexpr const char* kNoMemoryText = "メモリが足りません";

void reportRuntimeError(int code);

// Shows kNoMemoryText. Called once the failed job has been unwound; should
// showing it fail as well, the message is dropped rather than thrown.
void reportNoMemory() noexcept;

} // namespace runtime
