#include "tests/support/RecordingBackend.h"

#include <QImage>

namespace testsupport {

using namespace platform;

void RecordingBackend::drawLine(Point from, Point to, const DevicePen& pen) {
    calls.push_back({Call::Line, {from.x, from.y, to.x, to.y}, pen, pen.color, {}, {}});
}

void RecordingBackend::fillRect(const Rect& rect, ColorRef color) {
    calls.push_back({Call::Fill, rect, {}, color, {}, {}});
}

TextMetrics RecordingBackend::textMetrics(const DeviceFont& font) {
    const int height = font.font.height;
    return {height, font.font.width > 0 ? font.font.width : height / 2};
}

void RecordingBackend::drawChar(std::string_view sjisChar, const Rect& cell, const DeviceFont& font,
                                ColorRef color) {
    calls.push_back({Call::Char, cell, {}, color, std::string(sjisChar), font.font});
}

void RecordingBackend::drawImage(const QImage& image, const Rect& dest) {
    calls.push_back(
        {Call::Image, dest, {}, 0, std::to_string(image.width()) + "x" + std::to_string(image.height()), {}});
}

std::vector<RecordingBackend::Call> RecordingBackend::of(Call::Kind kind) const {
    std::vector<Call> result;
    for (const Call& call : calls)
        if (call.kind == kind)
            result.push_back(call);
    return result;
}

std::string RecordingBackend::text() const {
    std::string result;
    for (const Call& call : calls)
        if (call.kind == Call::Char)
            result += call.text;
    return result;
}

} // namespace testsupport
