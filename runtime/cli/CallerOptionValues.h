#pragma once

#include "runtime/data/ControlOptions.h"

#include <QString>

#include <optional>
#include <string>

// The values of the command line's own job options.
namespace zrkcli {

// --data-encoding: sjis, utf-8 or auto in any case (and the other spellings
// the control statement accepts).
std::optional<runtime::DataEncoding> dataEncodingOption(const QString& value);

// --data-format: csv or json in any case (lines, the default, names the
// character image).
std::optional<runtime::DataFormat> dataFormatOption(const QString& value);

// The warning for a data file about to be read as Shift-JIS whose start
// looks written otherwise (a UTF-8 byte-order mark, bytes no Shift-JIS
// holds, UTF-8 text); empty when it reads as Shift-JIS, or is no regular
// file (standard input is not looked at: its bytes are the job's).
std::string notShiftJisWarning(const std::string& dataPath);

// --pages: FROM-TO, FROM-, -TO or a single page N, page numbers from 1 and
// FROM not after TO; nothing for anything else.
std::optional<runtime::PageRange> pageRangeOption(const QString& value);

// One length of --offset: millimetres with at most one decimal and an
// optional sign, within -50.0..50.0; in tenths of a millimetre.
std::optional<int> millimetreTenths(const QString& text);

} // namespace zrkcli
