#include "formdesc/SampleRecord.h"

#include "formdesc/FormSlots.h"
#include "formdesc/ShiftJis.h"

#include <algorithm>
#include <initializer_list>

namespace formdesc {

namespace {

// The bytes of a line that the field shows: a wide field takes two columns a
// byte and a spaced one needs room between its characters.
std::size_t valueWidth(const FieldInfo& field) {
    int count = field.endCol - field.startCol + 1;
    if (field.wide == 1)
        count /= 2;
    if (field.space == 1)
        count = count * 8 / 10;
    return static_cast<std::size_t>(std::max(count, 0));
}

bool mentions(std::string_view tag, std::initializer_list<std::string_view> words) {
    return std::any_of(words.begin(), words.end(),
                       [tag](std::string_view word) { return tag.find(word) != std::string_view::npos; });
}

bool looksLikeDate(std::string_view tag) {
    return mentions(tag, {"DATE", "日付"});
}

// A numeric field, or a tag that names an amount.
bool looksLikeNumber(const FieldInfo& field, std::string_view tag) {
    return field.minus == 1 ||
           mentions(tag, {"QTY", "PRICE", "AMOUNT", "TOTAL", "SUM", "COUNT", "金額", "数量", "単価", "合計"});
}

// The example for line `line` (from 1) of a slot, in Shift-JIS, at most
// `width` bytes and never half a character.
std::string exampleValue(const FieldInfo& field, std::string_view tagUtf8, int line, int lineCount,
                         std::size_t width) {
    const std::string_view constant = sjis::view(field.constText);
    std::string value;
    if (!constant.empty()) {
        value = constant;
    } else if (looksLikeNumber(field, tagUtf8)) {
        value = std::to_string(1250 * line);
        if (value.size() > width)
            value = std::string(width, '9');
    } else if (looksLikeDate(tagUtf8)) {
        value = width >= 10 ? "2026/04/01" : width >= 5 ? "04/01" : "1";
    } else {
        std::string text = "見本" + std::string(tagUtf8);
        if (lineCount > 1)
            text += std::to_string(line);
        value = sjis::fromUtf8(text);
    }
    return std::string(sjis::cutWhole(value, width));
}

} // namespace

std::vector<SampleSlot> sampleRecord(const FormModel& model) {
    std::vector<SampleSlot> record;
    for (const FormSlot& slot : formSlots(model)) {
        SampleSlot sample;
        sample.name = sjis::toUtf8(slot.tag);
        for (int line = 1; line <= slot.lineCount(); ++line) {
            const FieldInfo& field = model.fields[static_cast<std::size_t>(slot.fields[line - 1])];
            sample.numeric = sample.numeric || looksLikeNumber(field, sample.name);
            sample.values.push_back(
                sjis::toUtf8(exampleValue(field, sample.name, line, slot.lineCount(), valueWidth(field))));
        }
        record.push_back(std::move(sample));
    }
    return record;
}

std::string csvField(std::string_view text) {
    const bool quoted = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                        (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quoted)
        return std::string(text);
    std::string field = "\"";
    for (char c : text) {
        if (c == '"')
            field += '"';
        field += c;
    }
    return field + '"';
}

std::string sampleCsv(const FormModel& model) {
    const std::vector<SampleSlot> record = sampleRecord(model);
    if (record.empty())
        return {};
    std::string header;
    std::string values;
    for (const SampleSlot& slot : record) {
        if (!header.empty()) {
            header += ',';
            values += ',';
        }
        header += csvField(slot.name);
        values += csvField(slot.values.empty() ? std::string() : slot.values.front());
    }
    return header + "\r\n" + values + "\r\n";
}

} // namespace formdesc
