#include "editor/sheets/FormTextCheck.h"

#include "formdesc/FormReader.h"
#include "formdesc/FormWriter.h"
#include "formdesc/ShiftJis.h"

#include <QString>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <functional>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

namespace editor {

using formdesc::FieldInfo;
using formdesc::FigureInfo;
using formdesc::FormInfo;
using formdesc::FormModel;

namespace {

// Where a text lives in its record.
struct TextSlot {
    std::size_t offset;
    std::size_t size;
};

constexpr TextSlot kFormTexts[] = {{offsetof(FormInfo, title), sizeof FormInfo::title},
                                   {offsetof(FormInfo, fontName), sizeof FormInfo::fontName}};
constexpr TextSlot kFieldTexts[] = {{offsetof(FieldInfo, tag), sizeof FieldInfo::tag},
                                    {offsetof(FieldInfo, fontName), sizeof FieldInfo::fontName},
                                    {offsetof(FieldInfo, constText), sizeof FieldInfo::constText}};
constexpr TextSlot kBitmapTexts[] = {{FigureInfo::kFileNameOffset, FigureInfo::kFileNameBytes}};

template <typename Record> char* slotOf(Record& record, const TextSlot& slot) {
    return reinterpret_cast<char*>(&record) + slot.offset;
}

template <typename Record> std::string_view textOf(const Record& record, const TextSlot& slot) {
    const char* text = reinterpret_cast<const char*>(&record) + slot.offset;
    return {text, strnlen(text, slot.size)};
}

template <typename Record> void putText(Record& record, const TextSlot& slot, std::string_view text) {
    char* target = slotOf(record, slot);
    std::memset(target, 0, slot.size);
    if (!text.empty()) // an empty view may hold no pointer at all
        std::memcpy(target, text.data(), std::min(text.size(), slot.size - 1));
}

// The record as a saved file gives it back, or nothing when the file no
// longer holds exactly one such record.
template <typename Record> using ReadBack = std::function<std::optional<Record>(const Record&)>;

std::string fileOf(const FormModel& model) {
    return formdesc::formatFormFile(model, formdesc::CalendarDate{2000, 1, 1});
}

std::unique_ptr<FormModel> readFile(const std::string& bytes) {
    auto back = std::make_unique<FormModel>();
    formdesc::readFormStatements(bytes, *back, formdesc::ReaderVariant::Designer);
    return back;
}

// The first text whose presence changes what is read back, beyond the text
// itself coming back upper-cased. Each text is tried alone among blanked
// ones (a blank text reads back as blank), then all of them together, which
// catches a text that hides a key of another.
template <typename Record>
int firstBrokenText(const Record& record, std::span<const TextSlot> texts, const ReadBack<Record>& readBack) {
    Record blank = record;
    for (const TextSlot& slot : texts)
        putText(blank, slot, {});
    const std::optional<Record> blankBack = readBack(blank);
    if (!blankBack)
        return -1; // the rest of the record does not read back: nothing to judge the texts by
    auto expected = [&](std::span<const std::size_t> restored) {
        Record result = *blankBack;
        for (std::size_t n : restored)
            putText(result, texts[n], formdesc::sjis::toUpperCopy(textOf(record, texts[n])));
        return result;
    };
    for (std::size_t n = 0; n < texts.size(); ++n) {
        if (textOf(record, texts[n]).empty())
            continue;
        Record probe = blank;
        putText(probe, texts[n], textOf(record, texts[n]));
        const std::optional<Record> back = readBack(probe);
        const std::size_t restored[] = {n};
        if (!back || !formdesc::sameBytes(*back, expected(restored)))
            return int(n);
    }
    std::vector<std::size_t> all(texts.size());
    for (std::size_t n = 0; n < texts.size(); ++n)
        all[n] = n;
    const std::optional<Record> back = readBack(record);
    if (back && formdesc::sameBytes(*back, expected(all)))
        return -1;
    // Together they break: blame the first text without which the others
    // read back, else the first one there is.
    for (std::size_t n = 0; n < texts.size(); ++n) {
        if (textOf(record, texts[n]).empty())
            continue;
        Record without = record;
        putText(without, texts[n], {});
        std::vector<std::size_t> others;
        for (std::size_t k = 0; k < texts.size(); ++k)
            if (k != n)
                others.push_back(k);
        const std::optional<Record> rest = readBack(without);
        if (rest && formdesc::sameBytes(*rest, expected(others)))
            return int(n);
    }
    for (std::size_t n = 0; n < texts.size(); ++n)
        if (!textOf(record, texts[n]).empty())
            return int(n);
    return 0;
}

} // namespace

int brokenText(const FormInfo& form) {
    const ReadBack<FormInfo> readBack = [](const FormInfo& probe) -> std::optional<FormInfo> {
        auto model = std::make_unique<FormModel>();
        model->form = probe;
        auto back = readFile(fileOf(*model));
        if (back->fieldCount != 0 || back->figureCount != 0)
            return std::nullopt;
        return back->form;
    };
    return firstBrokenText<FormInfo>(form, kFormTexts, readBack);
}

int brokenText(const FieldInfo& field, const FormInfo& form) {
    const ReadBack<FieldInfo> readBack = [&form](const FieldInfo& probe) -> std::optional<FieldInfo> {
        auto model = std::make_unique<FormModel>();
        model->form = form;
        model->appendField(probe);
        auto back = readFile(fileOf(*model));
        if (back->fieldCount != 1 || back->figureCount != 0)
            return std::nullopt;
        return back->fields[0];
    };
    return firstBrokenText<FieldInfo>(field, kFieldTexts, readBack);
}

int brokenText(const FigureInfo& bitmap, const FormInfo& form) {
    const ReadBack<FigureInfo> readBack = [&form](const FigureInfo& probe) -> std::optional<FigureInfo> {
        auto model = std::make_unique<FormModel>();
        model->form = form;
        model->appendFigure(probe);
        auto back = readFile(fileOf(*model));
        if (back->fieldCount != 0 || back->figureCount != 1 || back->figures[0].kind != probe.kind)
            return std::nullopt;
        return back->figures[0];
    };
    return firstBrokenText<FigureInfo>(bitmap, kBitmapTexts, readBack);
}

} // namespace editor
