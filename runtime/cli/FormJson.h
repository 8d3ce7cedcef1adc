#pragma once

#include "formdesc/FormModel.h"

#include <nlohmann/json.hpp>

namespace zrkcli {

// The model as JSON, record fields under their own names, texts in UTF-8,
// colours as integers; a barcode's attributes by their statement names.
nlohmann::ordered_json formModelToJson(const formdesc::FormModel& model);

} // namespace zrkcli
