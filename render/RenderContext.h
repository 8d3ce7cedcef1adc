#pragma once

#include "formdesc/PageGeometry.h"
#include "platform/DeviceContext.h"
#include "render/RenderPolicy.h"

// What the steps of one composition share: the device context with its
// mapping already set, the grid on it, and the policy of who is drawing.
namespace render {

struct RenderContext {
    platform::DeviceContext& dc;
    formdesc::PageGeometry geometry;
    RenderPolicy policy;
    int dpiY = 0; // the device resolution that font heights are computed for
};

} // namespace render
