#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>

#include "formdesc/PageGeometry.h"

// Narrowing the 64-bit intermediates of the cell arithmetic back to int.
namespace render {

using Wide = std::int64_t;

// Into the range of logical coordinates the geometry hands out.
inline int clampToCoordinateLimit(Wide value) {
    return static_cast<int>(std::clamp<Wide>(value, -formdesc::kCoordinateLimit, formdesc::kCoordinateLimit));
}

// Into the range of int: for device pixels, which may lie beyond the limit.
inline int saturateToInt(Wide value) {
    return static_cast<int>(
        std::clamp<Wide>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

} // namespace render
