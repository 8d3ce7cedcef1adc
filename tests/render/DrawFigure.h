#pragma once

#include "render/FigureRenderer.h"

// A line or a rectangle's frame as a page draws it: the figure's pen
// selected around the drawing.
inline void drawFigure(const render::RenderContext& context, const formdesc::FormInfo& form,
                       const formdesc::FigureInfo& figure) {
    render::FigureRenderer renderer(context, form);
    renderer.selectFigurePen(figure);
    if (figure.kind == formdesc::kKindLine)
        renderer.drawLine(figure);
    else
        renderer.drawRectFrame(figure);
    renderer.restorePen();
}
