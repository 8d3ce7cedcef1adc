#include "runtime/data/DataEncoding.h"

#include "formdesc/ShiftJis.h"

#include <algorithm>

namespace runtime {

std::optional<DataEncoding> parseDataEncoding(std::string_view upperText) {
    static constexpr struct {
        std::string_view name;
        DataEncoding encoding;
    } kNames[] = {{"SJIS", DataEncoding::ShiftJis},      {"SHIFT_JIS", DataEncoding::ShiftJis},
                  {"SHIFT-JIS", DataEncoding::ShiftJis}, {"CP932", DataEncoding::ShiftJis},
                  {"UTF-8", DataEncoding::Utf8},         {"UTF8", DataEncoding::Utf8},
                  {"AUTO", DataEncoding::Auto}};
    for (const auto& entry : kNames)
        if (entry.name == upperText)
            return entry.encoding;
    return std::nullopt;
}

namespace {

bool isContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

// The length the character at the start of text claims, when the bytes that
// are there fit it (0 when they do not). The text may be shorter than that.
std::size_t claimedLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80)
        return 1;
    std::size_t length = 0;
    // The second byte's range rules out overlong forms, surrogates and values
    // beyond U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() >= 2) {
        const auto second = static_cast<unsigned char>(text[1]);
        if (second < low || second > high)
            return 0;
    }
    for (std::size_t i = 2; i < length && i < text.size(); ++i)
        if (!isContinuation(static_cast<unsigned char>(text[i])))
            return 0;
    return length;
}

} // namespace

std::size_t utf8CharLength(std::string_view text) {
    if (text.empty())
        return 0;
    const std::size_t length = claimedLength(text);
    return length <= text.size() ? length : 0;
}

std::size_t utf8BadRunLength(std::string_view text) {
    for (std::size_t k = std::min<std::size_t>(3, text.size()); k >= 2; --k)
        if (claimedLength(text.substr(0, k)) > k)
            return k;
    return 1;
}

std::size_t utf8CutTailLength(std::string_view text) {
    const std::size_t from = text.size() > 3 ? text.size() - 3 : 0;
    for (std::size_t i = from; i < text.size(); ++i)
        if (static_cast<unsigned char>(text[i]) >= 0xC0 && claimedLength(text.substr(i)) > text.size() - i)
            return text.size() - i;
    return 0;
}

bool looksLikeUtf8(std::string_view sample, bool fileGoesOn) {
    if (sample.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        return true;
    std::size_t i = 0;
    while (i < sample.size()) {
        if (static_cast<unsigned char>(sample[i]) < 0x80) {
            ++i;
            continue;
        }
        const std::size_t length = utf8CharLength(sample.substr(i));
        if (length == 0) {
            // A character that the sample's end cuts is judged by what is there.
            return fileGoesOn && utf8CutTailLength(sample) == sample.size() - i;
        }
        i += length;
    }
    return true;
}

bool looksMisreadAsShiftJis(std::string_view sample, bool fileGoesOn) {
    if (sample.substr(0, kUtf8Bom.size()) == kUtf8Bom)
        return true;
    bool beyondAscii = false;
    for (std::size_t i = 0; i < sample.size(); ++i) {
        const auto byte = static_cast<unsigned char>(sample[i]);
        if (byte < 0x80 || (byte >= 0xA1 && byte <= 0xDF)) {
            beyondAscii = beyondAscii || byte >= 0x80;
            continue;
        }
        beyondAscii = true;
        if (!formdesc::sjis::isLeadByte(byte))
            return true; // 0x80, 0xA0 and 0xFD-0xFF start nothing
        if (i + 1 == sample.size())
            return !fileGoesOn; // a lead byte the sample's end cuts off is judged by what is there
        const auto trail = static_cast<unsigned char>(sample[++i]);
        if (trail < 0x40 || trail == 0x7F || trail > 0xFC)
            return true;
    }
    return beyondAscii && looksLikeUtf8(sample, fileGoesOn);
}

} // namespace runtime
