#pragma once

#include "runtime/data/ControlOptions.h"

#include <QString>

#include <optional>

// The values of the command line's own job options.
namespace zrkcli {

// --data-encoding: sjis, utf-8 or auto in any case (and the other spellings
// the control statement accepts).
std::optional<runtime::DataEncoding> dataEncodingOption(const QString& value);

// One length of --offset: millimetres with at most one decimal and an
// optional sign, within -50.0..50.0; in tenths of a millimetre.
std::optional<int> millimetreTenths(const QString& text);

} // namespace zrkcli
