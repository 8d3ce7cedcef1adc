#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

class QImage;

// A small device context with the semantics the form arithmetic relies on:
// logical-to-device mapping (text and isotropic modes with window and viewport
// extents and origins), the current pen, font and text colour, and drawing in
// logical units. Everything is turned into device pixels here, with integer
// arithmetic; the backend below only ever sees device coordinates.
namespace platform {

using ColorRef = std::int32_t; // red in the low byte, then green, then blue

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    bool operator==(const Size&) const = default;
};

struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

enum class MapMode { Text, Isotropic };

// How a character's cell becomes device pixels. Edges maps each edge on its
// own, as a printer's mapping does; under a fractional scale the cells of one
// text then differ by a pixel, and a glyph clipped to a narrow one loses a
// column. FontUnits maps the cell's corner and measures its width and height
// in the selected font: a cell as wide as n characters of the font is as wide
// as n of its characters on the device, at any zoom.
enum class CellMapping { Edges, FontUnits };

enum class PenStyle { Solid, Dash, Dot, DashDot, DashDotDot };

struct Pen {
    PenStyle style = PenStyle::Solid;
    int width = 0; // logical units; 0 draws one device pixel wide
    ColorRef color = 0;
    bool operator==(const Pen&) const = default;
};

// A font described the way the forms describe it. faceName holds Shift-JIS
// bytes as read from the form. A positive height is the cell height (ascent +
// descent), not the em size; a non-zero width is the average character width
// (width == height gives double-width characters).
struct LogFont {
    int height = 0;
    int width = 0;
    int weight = 400;
    std::string faceName;
    bool operator==(const LogFont&) const = default;
};

struct TextMetrics {
    int height = 0;       // tmHeight, logical units
    int aveCharWidth = 0; // tmAveCharWidth: advance of a half-width character
};

// Pen, font and colour as they reach the backend, in device units.
struct DevicePen {
    PenStyle style = PenStyle::Solid;
    int width = 1; // device pixels, at least 1
    ColorRef color = 0;
};

struct DeviceFont {
    LogFont font; // height and width already in device pixels
};

// What actually draws: a painter on an image, a PDF or a printer, or a
// recorder for tests. All coordinates are device pixels.
class DeviceBackend {
  public:
    virtual ~DeviceBackend() = default;
    virtual int dpiX() const = 0;
    virtual int dpiY() const = 0;
    virtual void drawLine(Point from, Point to, const DevicePen& pen) = 0;
    // Fills [left, right) x [top, bottom).
    virtual void fillRect(const Rect& rect, ColorRef color) = 0;
    // Metrics of a font whose height and width are in device pixels.
    virtual TextMetrics textMetrics(const DeviceFont& font) = 0;
    // One Shift-JIS character (1 or 2 bytes) left-aligned, vertically centred
    // and clipped in the cell [left, right) x [top, bottom).
    virtual void drawChar(std::string_view sjisChar, const Rect& cell, const DeviceFont& font,
                          ColorRef color) = 0;
    // Stretches an image into [left, right) x [top, bottom).
    virtual void drawImage(const QImage& image, const Rect& dest) = 0;
    // Called at the end of a page so that batched drawing reaches the device.
    virtual void flush() {}
};

// The whole logical-to-device mapping, as saved and put back around drawing
// that needs another one.
struct Mapping {
    MapMode mode = MapMode::Text;
    Size windowExt{1, 1};
    Size viewportExt{1, 1};
    Point windowOrg{};
    Point viewportOrg{};
    bool operator==(const Mapping&) const = default;
};

class DeviceContext {
  public:
    explicit DeviceContext(DeviceBackend& backend);

    DeviceBackend& backend() { return m_backend; }
    int dpiX() const { return m_backend.dpiX(); }
    int dpiY() const { return m_backend.dpiY(); }

    // Mapping. In isotropic mode, setting either extent adjusts the viewport
    // extent so that both axes share the smaller scale, as Windows does.
    void setMapMode(MapMode mode);
    MapMode mapMode() const { return m_mode; }
    void setWindowExt(int cx, int cy);
    void setViewportExt(int cx, int cy);
    void setViewportOrg(int x, int y);
    void setWindowOrg(int x, int y);
    Size windowExt() const { return m_windowExt; }
    Size viewportExt() const { return m_viewportExt; }
    Point viewportOrg() const { return m_viewportOrg; }
    // A fixed device offset applied after the mapping (the printable-area
    // corner of a target that draws from the paper's corner).
    void setDeviceOffset(int x, int y) { m_deviceOffset = {x, y}; }
    // The print offset: everything drawn moves by these lengths on the
    // paper, in tenths of a millimetre (right and down are positive), turned
    // into pixels as dpi * tenths / 254.
    void setPaperShift(int xTenths, int yTenths);
    // Where device pixel (0, 0) of the drawing lands: the device offset and
    // the print offset together.
    Point deviceOffset() const { return {m_deviceOffset.x + m_shift.x, m_deviceOffset.y + m_shift.y}; }

    // The mapping as it stands, and putting one back exactly: restoring the
    // extents one by one would run the isotropic adjustment again.
    Mapping mapping() const;
    void setMapping(const Mapping& mapping);

    Point lpToDp(Point p) const;
    int lengthToDeviceX(int logical) const;
    int lengthToDeviceY(int logical) const;

    // Drawing objects; each select returns what was selected before.
    Pen selectPen(const Pen& pen);
    const Pen& pen() const { return m_pen; }
    LogFont selectFont(const LogFont& font);
    const LogFont& font() const { return m_font; }
    ColorRef setTextColor(ColorRef color);
    ColorRef textColor() const { return m_textColor; }

    // Drawing in logical units.
    void moveTo(int x, int y);
    void lineTo(int x, int y);
    Point currentPosition() const { return m_current; }
    void fillRect(const Rect& rect, ColorRef color);
    void draw3dRect(const Rect& rect, ColorRef topLeft, ColorRef bottomRight);
    // Metrics of the selected font in logical units.
    TextMetrics textMetrics();
    // One character, left-aligned, vertically centred, clipped to the cell.
    void drawChar(std::string_view sjisChar, const Rect& cell, CellMapping mapping = CellMapping::Edges);
    void stretchImage(const QImage& image, const Rect& dest);
    void flush() { m_backend.flush(); }

  private:
    Rect toDevice(const Rect& rect) const;
    Rect toDeviceInFontUnits(const Rect& rect);
    const DeviceFont& deviceFont();
    void invalidateFont();
    void fixIsotropic();

    DeviceBackend& m_backend;
    MapMode m_mode = MapMode::Text;
    Size m_windowExt{1, 1};
    Size m_viewportExt{1, 1};
    Point m_windowOrg{};
    Point m_viewportOrg{};
    Point m_deviceOffset{};
    Point m_shift{}; // the print offset in device pixels
    Pen m_pen{};
    LogFont m_font{};
    ColorRef m_textColor = 0;
    Point m_current{};
    bool m_metricsValid = false;
    bool m_deviceFontValid = false;
    DeviceFont m_deviceFont{};
    TextMetrics m_metrics{};
    TextMetrics m_deviceMetrics{}; // the same metrics in device pixels
};

// Within its lifetime one logical unit is one device pixel, counted from the
// device offset; the mapping found before is put back whole afterwards.
class DevicePixelScope {
  public:
    explicit DevicePixelScope(DeviceContext& dc);
    ~DevicePixelScope();
    DevicePixelScope(const DevicePixelScope&) = delete;
    DevicePixelScope& operator=(const DevicePixelScope&) = delete;

  private:
    DeviceContext& m_dc;
    Mapping m_saved;
};

} // namespace platform
