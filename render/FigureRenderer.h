#pragma once

#include <cstdint>
#include <string_view>

#include "formdesc/FormModel.h"
#include "render/BarcodeCache.h"
#include "render/BitmapCache.h"
#include "render/RenderContext.h"

// Lines, rectangle frames and fills, bitmaps and barcodes, each with all copies of its
// repetition and cut at the policy's last row. Positions are the figure points of
// the grid: the middles of the first and last column, the top of the first
// row and the bottom of the last. One renderer serves one page composition.
namespace render {

class FigureRenderer {
  public:
    FigureRenderer(const RenderContext& context, const formdesc::FormInfo& form);

    static platform::PenStyle penStyle(int lineType);
    // The pen selected while the device context is prepared.
    static platform::Pen defaultPen(const formdesc::FormInfo& form, const RenderPolicy& policy);

    // Selects the figure's pen unless the default pen already draws it;
    // restorePen puts the previous pen back. Calls come in pairs.
    void selectFigurePen(const formdesc::FigureInfo& figure);
    void restorePen();

    void drawLine(const formdesc::FigureInfo& figure);
    void drawRectFrame(const formdesc::FigureInfo& figure);
    void drawRectFill(const formdesc::FigureInfo& figure);
    // The bitmap stretched into its box, or the policy's picture for a file
    // that cannot be used.
    void drawBitmap(const formdesc::FigureInfo& figure, BitmapCache& bitmaps);
    // The symbol of content (Shift-JIS) on every copy, or a thin cross when
    // it cannot be encoded; the returned symbol's error says why.
    const BarcodeSymbol& drawBarcode(const formdesc::FigureInfo& figure, BarcodeCache& barcodes,
                                     std::string_view content);

    // One segment with the selected pen; type 2 dots horizontal and vertical
    // segments itself, in device pixels.
    void drawSegment(platform::Point from, platform::Point to, int lineType, int lineWidth);

  private:
    template <typename Draw>
    void forEachCopy(const formdesc::FigureInfo& figure, int startRow, int endRow, Draw&& draw);
    bool visible(const formdesc::FigurePoints& points) const;
    void drawDots(platform::Point from, platform::Point to, int lineWidth);
    bool cutAtLastRow(int r1, int& r2) const;
    int dotLength(int lineWidth) const;

    const RenderContext& m_context;
    const formdesc::FormInfo& m_form;
    platform::DeviceContext& m_dc;
    formdesc::PageGeometry m_geometry;
    // Figures are drawn only where they can reach the paper: within one page
    // size around the page on every side.
    std::int64_t m_bandLow = 0;
    std::int64_t m_bandHigh = 0;
    platform::Pen m_previousPen;
    bool m_penSelected = false;
};

} // namespace render
