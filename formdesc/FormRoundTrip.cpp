#include "formdesc/FormRoundTrip.h"

#include "formdesc/Barcode.h"
#include "formdesc/FormReader.h"
#include "formdesc/FormWriter.h"
#include "formdesc/ShiftJis.h"

#include <algorithm>
#include <memory>
#include <string>

namespace formdesc {

namespace {

// Upper-cased as the reader does, the bytes after the NUL cleared.
template <std::size_t N> void normaliseText(char (&text)[N]) {
    const std::string upper = sjis::toUpperCopy(sjis::view(text));
    std::memset(text, 0, N);
    std::memcpy(text, upper.data(), std::min(upper.size(), N - 1));
}

// The file's line ends, as formatFormFile writes them.
std::string withCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + 8);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

// One model reused by the record checks: a paste of a thousand records
// checks each on its own, and a model is half a megabyte.
FormModel& scratchModel() {
    thread_local const auto model = std::make_unique<FormModel>();
    model->fieldCount = 0;
    model->figureCount = 0;
    return *model;
}

// The model read from the base statement of the form and one more statement.
const FormModel& readBack(const FormInfo& form, const std::string& statement) {
    FormModel& model = scratchModel();
    model.form = FormInfo{};
    readFormStatements(withCrLf(formatBaseStatement(form) + statement), model, ReaderVariant::Designer);
    return model;
}

} // namespace

FormInfo asWritten(const FormInfo& form) {
    FormInfo out = form;
    normaliseText(out.title);
    normaliseText(out.fontName);
    return out;
}

FieldInfo asWritten(const FieldInfo& field) {
    FieldInfo out = field;
    normaliseText(out.tag);
    normaliseText(out.fontName);
    normaliseText(out.constText);
    // The designer's file gives every field the form's shading colour.
    out.meshColor = 0;
    return out;
}

FigureInfo asWritten(const FigureInfo& figure) {
    FigureInfo out = figure;
    if (out.kind == kKindBitmap) {
        normaliseText(out.fileName());
        return out;
    }
    if (out.kind == kKindBarcode) {
        // A barcode keeps its colour and its attribute bytes, its text as
        // the reader has it; the line attributes are not written.
        std::string text = sjis::toUpperCopy(barcodeOf(out).text);
        text.resize(std::min(text.size(), BarcodeLayout::kTextBytes - 1));
        std::memset(out.reserved + BarcodeLayout::kText, 0, BarcodeLayout::kTextBytes);
        std::memcpy(out.reserved + BarcodeLayout::kText, text.data(), text.size());
        out.lineType = 0;
        out.lineWidth = 0;
        out.course = 0;
        out.meshColor = 0;
    } else if (out.kind != kKindLine && out.kind != kKindRect) {
        return out;
    } else {
        std::memset(out.reserved, 0, sizeof out.reserved);
    }
    if (out.kind == kKindLine)
        out.meshColor = 0; // a line has no fill
    if (out.loopCount <= 0) {
        out.loopDir = kLoopNone;
        out.loopCount = 0;
        out.loopPitch = 0;
    }
    return out;
}

bool formSurvives(const FormInfo& form) {
    const FormModel& back = readBack(form, {});
    return back.fieldCount == 0 && back.figureCount == 0 && sameBytes(asWritten(back.form), asWritten(form));
}

bool fieldSurvives(const FieldInfo& field, const FormInfo& form) {
    const FormModel& back = readBack(form, formatFieldStatement(field, form));
    return back.fieldCount == 1 && back.figureCount == 0 &&
           sameBytes(asWritten(back.fields[0]), asWritten(field));
}

bool figureSurvives(const FigureInfo& figure, const FormInfo& form) {
    const FormModel& back = readBack(form, formatFigureStatement(figure, form));
    return back.fieldCount == 0 && back.figureCount == 1 &&
           sameBytes(asWritten(back.figures[0]), asWritten(figure));
}

std::optional<FormError> firstChangedItem(const FormModel& model, std::string_view text) {
    const auto back = std::make_unique<FormModel>();
    readFormStatements(text, *back, ReaderVariant::Designer);
    if (!sameBytes(asWritten(back->form), asWritten(model.form)))
        return FormError{kErrorForm, kFormCodeChanged, 0};
    const auto changed = [](int count, int backCount, auto same) -> int {
        for (int n = 0; n < std::max(count, backCount); ++n)
            if (n >= count || n >= backCount || !same(static_cast<std::size_t>(n)))
                return n + 1;
        return 0;
    };
    if (const int n = changed(model.fieldCount, back->fieldCount, [&](std::size_t i) {
            return sameBytes(asWritten(back->fields[i]), asWritten(model.fields[i]));
        }))
        return FormError{kErrorField, kItemCodeChanged, n};
    if (const int n = changed(model.figureCount, back->figureCount, [&](std::size_t i) {
            return sameBytes(asWritten(back->figures[i]), asWritten(model.figures[i]));
        }))
        return FormError{kErrorFigure, kItemCodeChanged, n};
    return std::nullopt;
}

std::optional<FormError> firstChangedItem(const FormModel& model) {
    return firstChangedItem(model, formatFormFile(model, CalendarDate{2000, 1, 1}));
}

} // namespace formdesc
