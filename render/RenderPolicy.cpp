#include "render/RenderPolicy.h"

namespace render {

RenderPolicy RenderPolicy::print(const formdesc::FormInfo& form) {
    RenderPolicy policy;
    policy.denseDotsSolid = form.speed == 1;
    return policy;
}

RenderPolicy RenderPolicy::preview() {
    RenderPolicy policy;
    policy.penRule = PenRule::SolidBlack;
    policy.minDotLength = 1;
    policy.shortHorizontalDots = false;
    return policy;
}

RenderPolicy RenderPolicy::canvas(int zoom, const QImage* placeholder) {
    RenderPolicy policy = preview();
    policy.heightTest = HeightTest::InclusiveExtent;
    policy.penRule = PenRule::Canvas;
    policy.zoom = zoom;
    policy.cellMapping = platform::CellMapping::FontUnits;
    policy.missingBitmap = placeholder;
    return policy;
}

RenderPolicy RenderPolicy::sheet(const QImage* placeholder) {
    RenderPolicy policy;
    policy.heightTest = HeightTest::InclusiveExtent;
    policy.penRule = PenRule::Sheet;
    policy.cellMapping = platform::CellMapping::FontUnits;
    policy.missingBitmap = placeholder;
    return policy;
}

int sheetPenWidth(int lineWidth) {
    return lineWidth > 1 ? lineWidth - 1 : lineWidth;
}

int canvasPenWidth(int lineWidth, int zoom) {
    int width = lineWidth <= 1 ? 0 : lineWidth == 2 ? 1 : lineWidth - 2;
    if (zoom < 100)
        width = width * zoom / 80;
    return width;
}

} // namespace render
