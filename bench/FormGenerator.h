#pragma once

#include "formdesc/FormModel.h"

#include <memory>

namespace bench {

// A form at the item limits: 1024 fields and 1024 figures of every kind,
// spread over a 255 x 255 grid, with fonts, flags, constants and loops.
std::unique_ptr<formdesc::FormModel> makeFullForm();

} // namespace bench
