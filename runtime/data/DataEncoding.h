#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

// How the bytes of a data file are written. The runtime's own rules work on
// Shift-JIS (code page 932); a UTF-8 file is turned into it line by line
// before those rules apply, so it prints exactly like the same text saved as
// Shift-JIS.
namespace runtime {

enum class DataEncoding {
    ShiftJis, // the bytes as they are
    Utf8,     // converted to code page 932
    Auto,     // UTF-8 when the start of the file says so, else Shift-JIS
};

// How much of the file AUTO looks at.
inline constexpr std::size_t kEncodingSampleBytes = 64 * 1024;

// The UTF-8 byte-order mark, dropped at the start of a UTF-8 file.
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// A value as written in a control statement or on the command line, already
// upper-cased: SJIS, SHIFT_JIS, SHIFT-JIS, CP932, UTF-8, UTF8 or AUTO.
std::optional<DataEncoding> parseDataEncoding(std::string_view upperText);

// Length of the well-formed UTF-8 character at the start of text (1 to 4), or
// 0 when the bytes there are no such character (a stray continuation byte, an
// overlong form, a surrogate, a value beyond U+10FFFF, a cut sequence).
std::size_t utf8CharLength(std::string_view text);

// Length of the bad bytes at the start of text that one replacement stands
// for: the start of a character that is cut short or broken off, else one
// byte.
std::size_t utf8BadRunLength(std::string_view text);

// Length of the start of a character that the end of text cuts short (the
// bytes there fit a character but too few of them): 0 to 3.
std::size_t utf8CutTailLength(std::string_view text);

// Whether the sample (the first bytes of a file) reads as UTF-8: it starts
// with the byte-order mark, or every character in it is well-formed. When the
// file goes on beyond the sample, a character cut by the sample's end counts
// as well-formed.
bool looksLikeUtf8(std::string_view sample, bool fileGoesOn);

// Whether data about to be read as Shift-JIS looks written otherwise: the
// sample opens with the UTF-8 byte-order mark, holds bytes that are no
// Shift-JIS (code page 932), or reads as UTF-8 with characters beyond ASCII
// (Japanese UTF-8 is often valid Shift-JIS by chance, never sensible).
bool looksMisreadAsShiftJis(std::string_view sample, bool fileGoesOn);

} // namespace runtime
