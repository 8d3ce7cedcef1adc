#pragma once

#include "platform/DeviceContext.h"

#include <string>
#include <vector>

// A backend that draws nothing and logs every call in device coordinates, with
// fixed metrics (a character is half as wide as the font is high, or as wide
// as a given width), so that tests can assert placements to the pixel.
namespace testsupport {

class RecordingBackend : public platform::DeviceBackend {
  public:
    explicit RecordingBackend(int dpiX = 600, int dpiY = 600) : m_dpiX(dpiX), m_dpiY(dpiY) {}

    struct Call {
        enum Kind { Line, Fill, Char, Image } kind;
        platform::Rect rect;      // line: (x1, y1, x2, y2); others: the device rectangle
        platform::DevicePen pen;  // lines
        platform::ColorRef color; // fills and characters
        std::string text;         // characters (Shift-JIS bytes); images: "WxH"
        platform::LogFont font;   // characters, in device units
    };

    int dpiX() const override { return m_dpiX; }
    int dpiY() const override { return m_dpiY; }
    void drawLine(platform::Point from, platform::Point to, const platform::DevicePen& pen) override;
    void fillRect(const platform::Rect& rect, platform::ColorRef color) override;
    platform::TextMetrics textMetrics(const platform::DeviceFont& font) override;
    void drawChar(std::string_view sjisChar, const platform::Rect& cell, const platform::DeviceFont& font,
                  platform::ColorRef color) override;
    void drawImage(const QImage& image, const platform::Rect& dest) override;

    std::vector<Call> calls;
    std::vector<Call> of(Call::Kind kind) const;
    // Characters drawn, concatenated in drawing order.
    std::string text() const;

  private:
    int m_dpiX;
    int m_dpiY;
};

} // namespace testsupport
