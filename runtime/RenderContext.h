#pragma once

#include "DeviceContext.h"
#include "PageGeometry.h"

// What the renderers of one page composition share: the device context with
// its mapping already set, the grid on it, and the few points in which the
// print job and the preview draw differently.
namespace runtime {

enum class RenderMode {
    Print,   // default pen = the form's; dots >= 2 px; SPEED honoured
    Preview, // default pen = solid black 1; dots >= 1 px; scroll origin in the mapping
};

struct RenderContext {
    platform::DeviceContext& dc;
    formdesc::PageGeometry geometry;
    RenderMode mode = RenderMode::Print;
    int dpiY = 0;                   // the device resolution that font heights are computed for
    platform::Point scrollOrigin{}; // preview: the viewport origin set for the current scroll position
    int lastRow = 0;                // LASTROW of the job; 0 or less leaves figures whole
    bool lastPage = false;          // the page being composed is the job's last page
};

} // namespace runtime
