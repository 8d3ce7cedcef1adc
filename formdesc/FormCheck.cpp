#include "formdesc/FormReader.h"

#include "formdesc/Barcode.h"

namespace formdesc {

namespace {

bool allZero(int a, int b, int c, int d) {
    return a == 0 && b == 0 && c == 0 && d == 0;
}

bool outOfGrid(const FormInfo& form, int startCol, int startRow, int endCol, int endRow) {
    return startCol < 1 || endCol > form.columns || startRow < 1 || endRow > form.rows;
}

bool validLineAttributes(int type, int width) {
    return type >= 1 && type <= 6 && width >= 1 && width <= 5;
}

// The renderers take pen widths, not the form's width codes: the printer draws
// width - 1 (0 to 4), the preview 1 for the three finest widths, then 2 and 3.
int penWidth(int width, ReaderVariant variant) {
    switch (variant) {
    case ReaderVariant::Print:
        return width - 1;
    case ReaderVariant::Preview:
        return width <= 3 ? 1 : width - 2;
    case ReaderVariant::Designer:
        break;
    }
    return width;
}

// The first attribute of a barcode that the statement did not give rightly,
// as its message code, in the order of the statement's keys; 0 when none.
int barcodeErrorCode(const FigureInfo& figure) {
    const auto byte = [&figure](std::size_t offset) {
        return static_cast<unsigned char>(figure.reserved[offset]);
    };
    const int type = byte(BarcodeLayout::kType);
    if (type == kBarcodeNone)
        return kFigureCodeTypeMissing;
    if (type > kBarcodeTypeCount)
        return kFigureCodeTypeBad;
    switch (byte(BarcodeLayout::kFromField)) {
    case 0:
    case 1:
        break;
    case kContentBoth:
        return kFigureCodeContentBoth;
    case kContentBadConst:
        return kFigureCodeConstBad;
    case kContentBadField:
        return kFigureCodeFieldBad;
    default:
        return kFigureCodeContentMissing;
    }
    if (byte(BarcodeLayout::kHri) > 1)
        return kFigureCodeHriBad;
    if (byte(BarcodeLayout::kEcc) > kEccH)
        return kFigureCodeEccBad;
    return 0;
}

} // namespace

std::optional<FormError> checkPageLayout(const FormInfo& form, PageSizeTenths* pageSize) {
    PaperDimensions paper{};
    if (!paperDimensions(form.paperSize, paper))
        return FormError{kErrorForm, 2, 0};
    if (form.direction != kLandscape && form.direction != kPortrait)
        return FormError{kErrorForm, 3, 0};
    int width = 0;
    int height = 0;
    pageSizeTenths(form.paperSize, form.direction, width, height);
    if (pageSize)
        *pageSize = {width, height};
    if (form.columns < 1 || form.columns > kMaxGrid)
        return FormError{kErrorForm, 4, 0};
    if (form.rows < 1 || form.rows > kMaxGrid)
        return FormError{kErrorForm, 5, 0};
    if (form.leftMargin > width - 100)
        return FormError{kErrorForm, 6, 0};
    if (form.topMargin > height - 100)
        return FormError{kErrorForm, 7, 0};
    return std::nullopt;
}

std::optional<FormError> checkForm(FormModel& model, ReaderVariant variant, PageSizeTenths* pageSize) {
    FormInfo& form = model.form;
    const bool runtime = variant != ReaderVariant::Designer;
    if (form.title[0] == '\0')
        return FormError{kErrorForm, 1, 0};
    if (auto error = checkPageLayout(form, runtime ? pageSize : nullptr))
        return error;
    if (form.fontName[0] == '\0' || form.fontSize < 10)
        return FormError{kErrorForm, 8, 0};
    if (form.lineType == 0 && form.lineWidth == 0) {
        form.lineType = kLineSolid;
        form.lineWidth = kWidthStandard;
    } else if (!validLineAttributes(form.lineType, form.lineWidth)) {
        return FormError{kErrorForm, 9, 0};
    }
    form.lineWidth = penWidth(form.lineWidth, variant);

    for (int n = 0; n < model.fieldCount; ++n) {
        FieldInfo& field = model.fields[static_cast<std::size_t>(n)];
        if (allZero(field.startCol, field.startRow, field.endCol, field.endRow))
            return FormError{kErrorField, 1, n + 1};
        if (runtime && form.tagMode == 1) {
            if (field.tag[0] == '\0')
                return FormError{kErrorField, 3, n + 1};
            field.startRow = 1;
            field.endRow = 1;
        }
        if (outOfGrid(form, field.startCol, field.startRow, field.endCol, field.endRow))
            return FormError{kErrorField, 2, n + 1};
    }

    for (int n = 0; n < model.figureCount; ++n) {
        FigureInfo& figure = model.figures[static_cast<std::size_t>(n)];
        if (allZero(figure.startCol, figure.startRow, figure.endCol, figure.endRow))
            return FormError{kErrorFigure, 1, n + 1};
        if (outOfGrid(form, figure.startCol, figure.startRow, figure.endCol, figure.endRow))
            return FormError{kErrorFigure, 2, n + 1};
        if (figure.kind == kKindBitmap)
            continue;
        if (figure.kind == kKindBarcode) {
            if (const int code = barcodeErrorCode(figure))
                return FormError{kErrorFigure, code, n + 1};
            continue;
        }
        if (!validLineAttributes(figure.lineType, figure.lineWidth))
            return FormError{kErrorFigure, 3, n + 1};
        figure.lineWidth = penWidth(figure.lineWidth, variant);
    }
    return std::nullopt;
}

} // namespace formdesc
