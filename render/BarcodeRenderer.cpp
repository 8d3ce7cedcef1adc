#include "render/BarcodeRenderer.h"

#include <algorithm>
#include <cmath>

namespace render {

namespace {

int pixel(double v) {
    return static_cast<int>(std::lround(v));
}

// The plain face that the human-readable text is written in.
constexpr const char* kTextFace = "MS Gothic";

} // namespace

BarcodeRenderer::Placement BarcodeRenderer::place(const BarcodeSymbol& symbol, const platform::Rect& box,
                                                  bool keepAspect) {
    Placement p;
    const double boxW = box.right - box.left;
    const double boxH = box.bottom - box.top;
    if (symbol.width <= 0 || symbol.height <= 0 || boxW <= 0 || boxH <= 0)
        return p;
    // The bars end where the shortest bar ends; what lies below (guard bars,
    // the text) keeps its proportions.
    p.barBottom = symbol.height;
    if (!keepAspect && !symbol.bars.empty()) {
        p.barBottom = symbol.bars.front().y + symbol.bars.front().height;
        for (const BarcodeSymbol::Bar& bar : symbol.bars)
            p.barBottom = std::min(p.barBottom, bar.y + bar.height);
    }
    const double below = symbol.height - p.barBottom;
    double module = boxW / symbol.width;
    if (keepAspect)
        module = std::min(module, boxH / symbol.height);
    else if (below > 0 && below * module > boxH / 2)
        module = boxH / 2 / below; // leave the bars at least half the box
    if (module >= 1)
        module = std::floor(module);
    p.module = module;
    if (keepAspect || p.barBottom <= 0) {
        p.barScale = module;
    } else {
        // Bar heights need no whole pixels: the bars fill the box.
        p.barScale = (boxH - below * module) / p.barBottom;
    }
    const double width = symbol.width * module;
    const double height = p.barBottom * p.barScale + below * module;
    p.left = box.left + std::floor((boxW - width) / 2);
    p.top = box.top + std::floor((boxH - height) / 2);
    return p;
}

void BarcodeRenderer::draw(platform::DeviceContext& dc, const platform::Rect& logicalBox,
                           const BarcodeSymbol& symbol, bool keepAspect, platform::ColorRef color) {
    const platform::Point offset = dc.deviceOffset();
    const auto toPixels = [&](int x, int y) {
        const platform::Point d = dc.lpToDp({x, y});
        return platform::Point{d.x - offset.x, d.y - offset.y};
    };
    const platform::Point a = toPixels(logicalBox.left, logicalBox.top);
    const platform::Point b = toPixels(logicalBox.right, logicalBox.bottom);
    // The box as rectangles and bitmaps have it: both end points included.
    const platform::Rect box{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x) + 1,
                             std::max(a.y, b.y) + 1};
    const platform::DevicePixelScope pixels(dc);

    if (!symbol.ok()) {
        const platform::Pen previous = dc.selectPen({platform::PenStyle::Solid, 0, color});
        dc.moveTo(box.left, box.top);
        dc.lineTo(box.right - 1, box.bottom - 1);
        dc.moveTo(box.right - 1, box.top);
        dc.lineTo(box.left, box.bottom - 1);
        dc.selectPen(previous);
        return;
    }
    const Placement p = place(symbol, box, keepAspect);
    if (p.module <= 0)
        return;
    const auto down = [&](double y) {
        return y <= p.barBottom ? y * p.barScale : p.barBottom * p.barScale + (y - p.barBottom) * p.module;
    };
    for (const BarcodeSymbol::Bar& bar : symbol.bars) {
        const platform::Rect r{pixel(p.left + bar.x * p.module), pixel(p.top + down(bar.y)),
                               pixel(p.left + (bar.x + bar.width) * p.module),
                               pixel(p.top + down(bar.y + bar.height))};
        dc.fillRect(r, color);
    }
    if (symbol.texts.empty())
        return;
    const platform::LogFont previousFont = dc.font();
    const platform::ColorRef previousColor = dc.setTextColor(color);
    for (const BarcodeSymbol::Text& text : symbol.texts) {
        const int height = std::max(1, pixel(text.size * p.module));
        dc.selectFont({height, 0, 400, kTextFace});
        const int advance = std::max(1, dc.textMetrics().aveCharWidth);
        const int width = advance * static_cast<int>(text.text.size());
        int x = pixel(p.left + text.x * p.module);
        if (text.align == 0)
            x -= width / 2;
        else if (text.align == 2)
            x -= width;
        const int baseline = pixel(p.top + down(text.y));
        for (std::size_t i = 0; i < text.text.size(); ++i) {
            const int left = x + static_cast<int>(i) * advance;
            dc.drawChar(std::string_view(text.text).substr(i, 1),
                        {left, baseline - height, left + advance, baseline});
        }
    }
    dc.selectFont(previousFont);
    dc.setTextColor(previousColor);
}

} // namespace render
