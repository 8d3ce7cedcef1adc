#include "editor/canvas/FieldSample.h"

#include <algorithm>
#include <cstdint>

#include "formdesc/ShiftJis.h"

namespace editor {

namespace {

namespace sjis = formdesc::sjis;

// The text without white space at its end; a trail byte is never taken for a blank.
std::string_view trimEnd(std::string_view text) {
    std::size_t end = 0;
    std::size_t kept = 0;
    while (end < text.size()) {
        const std::size_t length = sjis::charLength(text, end);
        if (length == 2 || !sjis::isSpace(static_cast<unsigned char>(text[end])))
            kept = end + length;
        end += length;
    }
    return text.substr(0, kept);
}

} // namespace

FieldSample FieldSample::make(const formdesc::FieldInfo& field, formdesc::CellRect box, int cellWidth) {
    FieldSample sample{{}, box};
    std::int64_t n = std::int64_t{field.endCol} - field.startCol + 1;
    if (field.wide)
        n /= 2;
    n = std::clamp<std::int64_t>(n, 0, formdesc::kMaxGrid);

    const std::string_view constant = sjis::view(field.constText);
    if (!constant.empty()) {
        // Cut at a whole character so that no half character is drawn, then
        // pad with blanks to the field's width.
        sample.text = std::string(sjis::cutWhole(constant, static_cast<std::size_t>(n)));
        sample.text.resize(static_cast<std::size_t>(n), ' ');
        if (field.center || field.space) {
            sample.text.resize(trimEnd(sample.text).size());
            n = static_cast<std::int64_t>(sample.text.size());
        }
    } else {
        if (field.space)
            n = n * 8 / 10;
        sample.text.assign(static_cast<std::size_t>(n), field.minus ? '9' : 'X');
    }

    if (field.center) {
        const std::int64_t width = (field.wide ? 2 * n : n) * cellWidth;
        const std::int64_t left = box.left + (std::int64_t{box.right} - box.left - width + 1) / 2;
        sample.box.left = static_cast<int>(left);
        sample.box.right = static_cast<int>(left + width);
    }
    return sample;
}

} // namespace editor
