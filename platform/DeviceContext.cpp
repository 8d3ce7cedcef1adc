#include "platform/DeviceContext.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

// Rounds num / den to the nearest integer, halves away from minus infinity,
// the way the mapping of a device context rounds.
int roundDiv(long long num, long long den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    long long twice = 2 * num + den;
    long long q = twice / (2 * den);
    if (twice % (2 * den) != 0 && twice < 0)
        --q;
    return static_cast<int>(q);
}

} // namespace

DeviceContext::DeviceContext(DeviceBackend& backend) : m_backend(backend) {}

void DeviceContext::setMapMode(MapMode mode) {
    m_mode = mode;
    if (mode == MapMode::Text) {
        m_windowExt = {1, 1};
        m_viewportExt = {1, 1};
    }
    invalidateFont();
}

void DeviceContext::setWindowExt(int cx, int cy) {
    if (m_mode == MapMode::Text || cx == 0 || cy == 0)
        return;
    m_windowExt = {cx, cy};
    fixIsotropic();
    invalidateFont();
}

void DeviceContext::setViewportExt(int cx, int cy) {
    if (m_mode == MapMode::Text || cx == 0 || cy == 0)
        return;
    m_viewportExt = {cx, cy};
    fixIsotropic();
    invalidateFont();
}

void DeviceContext::setViewportOrg(int x, int y) {
    m_viewportOrg = {x, y};
}
void DeviceContext::setWindowOrg(int x, int y) {
    m_windowOrg = {x, y};
}

// Shrinks one viewport extent so that a logical unit covers the same physical
// length on both axes (the device's resolutions taken into account).
void DeviceContext::fixIsotropic() {
    if (m_mode != MapMode::Isotropic)
        return;
    const double xdim = std::fabs(double(m_viewportExt.cx) / (double(dpiX()) * m_windowExt.cx));
    const double ydim = std::fabs(double(m_viewportExt.cy) / (double(dpiY()) * m_windowExt.cy));
    if (xdim > ydim) {
        const int minimum = m_viewportExt.cx >= 0 ? 1 : -1;
        m_viewportExt.cx = int(std::floor(m_viewportExt.cx * std::fabs(ydim / xdim) + 0.5));
        if (m_viewportExt.cx == 0)
            m_viewportExt.cx = minimum;
    } else if (ydim > xdim) {
        const int minimum = m_viewportExt.cy >= 0 ? 1 : -1;
        m_viewportExt.cy = int(std::floor(m_viewportExt.cy * std::fabs(xdim / ydim) + 0.5));
        if (m_viewportExt.cy == 0)
            m_viewportExt.cy = minimum;
    }
}

void DeviceContext::setPaperShift(int xTenths, int yTenths) {
    m_shift = {static_cast<int>(static_cast<long long>(dpiX()) * xTenths / 254),
               static_cast<int>(static_cast<long long>(dpiY()) * yTenths / 254)};
}

Mapping DeviceContext::mapping() const {
    return {m_mode, m_windowExt, m_viewportExt, m_windowOrg, m_viewportOrg};
}

void DeviceContext::setMapping(const Mapping& mapping) {
    m_mode = mapping.mode;
    m_windowExt = mapping.windowExt;
    m_viewportExt = mapping.viewportExt;
    m_windowOrg = mapping.windowOrg;
    m_viewportOrg = mapping.viewportOrg;
    invalidateFont();
}

DevicePixelScope::DevicePixelScope(DeviceContext& dc) : m_dc(dc), m_saved(dc.mapping()) {
    dc.setMapping({});
}

DevicePixelScope::~DevicePixelScope() {
    m_dc.setMapping(m_saved);
}

Point DeviceContext::lpToDp(Point p) const {
    const long long dx = static_cast<long long>(p.x) - m_windowOrg.x;
    const long long dy = static_cast<long long>(p.y) - m_windowOrg.y;
    const Point offset = deviceOffset();
    return {roundDiv(dx * m_viewportExt.cx, m_windowExt.cx) + m_viewportOrg.x + offset.x,
            roundDiv(dy * m_viewportExt.cy, m_windowExt.cy) + m_viewportOrg.y + offset.y};
}

int DeviceContext::lengthToDeviceX(int logical) const {
    return std::abs(roundDiv(static_cast<long long>(logical) * m_viewportExt.cx, m_windowExt.cx));
}

int DeviceContext::lengthToDeviceY(int logical) const {
    return std::abs(roundDiv(static_cast<long long>(logical) * m_viewportExt.cy, m_windowExt.cy));
}

Pen DeviceContext::selectPen(const Pen& pen) {
    Pen previous = m_pen;
    m_pen = pen;
    return previous;
}

LogFont DeviceContext::selectFont(const LogFont& font) {
    LogFont previous = m_font;
    if (!(font == m_font)) {
        m_font = font;
        invalidateFont();
    }
    return previous;
}

ColorRef DeviceContext::setTextColor(ColorRef color) {
    ColorRef previous = m_textColor;
    m_textColor = color;
    return previous;
}

void DeviceContext::moveTo(int x, int y) {
    m_current = {x, y};
}

void DeviceContext::lineTo(int x, int y) {
    DevicePen pen;
    pen.style = m_pen.style;
    pen.width = m_pen.width == 0 ? 1 : std::max(1, lengthToDeviceX(m_pen.width));
    pen.color = m_pen.color;
    m_backend.drawLine(lpToDp(m_current), lpToDp({x, y}), pen);
    m_current = {x, y};
}

Rect DeviceContext::toDevice(const Rect& rect) const {
    const Point a = lpToDp({rect.left, rect.top});
    const Point b = lpToDp({rect.right, rect.bottom});
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

void DeviceContext::fillRect(const Rect& rect, ColorRef color) {
    const Rect device = toDevice(rect);
    if (device.right > device.left && device.bottom > device.top)
        m_backend.fillRect(device, color);
}

void DeviceContext::draw3dRect(const Rect& rect, ColorRef topLeft, ColorRef bottomRight) {
    const int x = rect.left, y = rect.top;
    const int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    fillRect({x, y, x + cx - 1, y + 1}, topLeft);
    fillRect({x, y, x + 1, y + cy - 1}, topLeft);
    fillRect({x + cx - 1, y, x + cx, y + cy}, bottomRight);
    fillRect({x, y + cy - 1, x + cx, y + cy}, bottomRight);
}

void DeviceContext::invalidateFont() {
    m_metricsValid = false;
    m_deviceFontValid = false;
}

// The selected font in device units, kept until the font or the mapping
// changes: text is drawn a cell at a time.
const DeviceFont& DeviceContext::deviceFont() {
    if (!m_deviceFontValid) {
        m_deviceFont.font = m_font;
        m_deviceFont.font.height = lengthToDeviceY(m_font.height);
        m_deviceFont.font.width = lengthToDeviceX(m_font.width);
        m_deviceFontValid = true;
    }
    return m_deviceFont;
}

TextMetrics DeviceContext::textMetrics() {
    if (!m_metricsValid) {
        const TextMetrics device = m_backend.textMetrics(deviceFont());
        m_deviceMetrics = device;
        // Back to logical units.
        m_metrics.height = roundDiv(static_cast<long long>(device.height) * m_windowExt.cy, m_viewportExt.cy);
        m_metrics.aveCharWidth =
            roundDiv(static_cast<long long>(device.aveCharWidth) * m_windowExt.cx, m_viewportExt.cx);
        m_metrics.height = std::abs(m_metrics.height);
        m_metrics.aveCharWidth = std::abs(m_metrics.aveCharWidth);
        m_metricsValid = true;
    }
    return m_metrics;
}

// Anchored where the logical top-left corner maps to, reaching towards where
// the opposite corner maps to, with the extents turned from the font's
// logical metrics into its device metrics.
Rect DeviceContext::toDeviceInFontUnits(const Rect& rect) {
    const TextMetrics logical = textMetrics();
    const auto scale = [](int length, int deviceUnit, int logicalUnit) {
        return std::abs(roundDiv(static_cast<long long>(length) * deviceUnit, logicalUnit));
    };
    const int width = logical.aveCharWidth > 0
                          ? scale(rect.right - rect.left, m_deviceMetrics.aveCharWidth, logical.aveCharWidth)
                          : lengthToDeviceX(rect.right - rect.left);
    const int height = logical.height > 0
                           ? scale(rect.bottom - rect.top, m_deviceMetrics.height, logical.height)
                           : lengthToDeviceY(rect.bottom - rect.top);
    const Point a = lpToDp({rect.left, rect.top});
    const Point b = lpToDp({rect.right, rect.bottom});
    const int x = b.x >= a.x ? a.x : a.x - width;
    const int y = b.y >= a.y ? a.y : a.y - height;
    return {x, y, x + width, y + height};
}

void DeviceContext::drawChar(std::string_view sjisChar, const Rect& cell, CellMapping mapping) {
    const Rect device = mapping == CellMapping::FontUnits ? toDeviceInFontUnits(cell) : toDevice(cell);
    m_backend.drawChar(sjisChar, device, deviceFont(), m_textColor);
}

void DeviceContext::stretchImage(const QImage& image, const Rect& dest) {
    m_backend.drawImage(image, toDevice(dest));
}

} // namespace platform
