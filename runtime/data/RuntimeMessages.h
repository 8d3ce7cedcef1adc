#pragma once

// The messages of a job of the library, by their code among the "other"
// errors of the message table.
namespace runtime {

inline constexpr int kMessageDataFile = 2;    // the data file cannot be opened or read
inline constexpr int kMessageNoDevice = 6;    // no printer to print on
inline constexpr int kMessageCannotPrint = 7; // printing could not start or finish

void reportRuntimeError(int code);

} // namespace runtime
