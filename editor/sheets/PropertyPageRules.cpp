#include "editor/sheets/PropertyPageRules.h"

#include "editor/sheets/FormTextCheck.h"
#include "editor/sheets/RefusalReasons.h"
#include "editor/widgets/AttributeLists.h"
#include "editor/widgets/ShiftJisValidator.h"
#include "formdesc/FormReader.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/FormWriter.h"
#include "formdesc/ShiftJis.h"
#include "formdesc/ValueParsers.h"

#include <algorithm>
#include <memory>
#include <utility>

namespace editor {

using formdesc::FieldInfo;
using formdesc::FigureInfo;
using formdesc::FormInfo;

namespace {

QString textOf(std::string_view sjisText) {
    return QString::fromStdString(formdesc::sjis::toUtf8(sjisText));
}

QString tenthsText(int tenths) {
    return QString::fromStdString(formdesc::formatTenths(tenths));
}

int integerOf(const QString& text) {
    return formdesc::parseInteger(text.toStdString());
}

int tenthsOf(const QString& text) {
    return formdesc::parseTenths(text.toStdString());
}

int codeOf(AttributeList list, int position) {
    return codeAt(list, position).value_or(0);
}

template <typename Record>
void refuse(StoreResult<Record>& result, PageControl control, const QString& reason) {
    result.failing = control;
    result.reason = reason;
}

// The last gate of every store: the writer's text of the record must read
// back to the same record, or a save would change the form.
template <typename Record, typename Survives>
void checkReadsBack(StoreResult<Record>& result, Survives survives) {
    if (result.accepted() && !survives(result.record))
        refuse(result, PageControl::Page, recordChangedReason());
}

// Stores a text edit into its array; false when it has no exact Shift-JIS
// form within the limit.
template <std::size_t N> bool storeText(char (&target)[N], const QString& text, int maxBytes) {
    const std::optional<std::string> bytes = exactShiftJis(text, maxBytes);
    if (!bytes)
        return false;
    formdesc::sjis::storeWhole(target, N, *bytes);
    return true;
}

// A face name from the font display: the first 33 bytes are taken, cut on
// whole characters; false when a character has no Shift-JIS form.
template <std::size_t N> bool storeFaceName(char (&target)[N], const QString& text) {
    const std::string bytes = formdesc::sjis::fromUtf8(text.toStdString());
    if (!exactShiftJis(text, int(bytes.size())))
        return false;
    formdesc::sjis::storeWhole(target, std::min<std::size_t>(N, kFontNameBytes + 1), bytes);
    return true;
}

} // namespace

PositionValues fillPosition(int startCol, int startRow, int endCol, int endRow) {
    return {QString::number(startCol), QString::number(startRow), QString::number(endCol),
            QString::number(endRow)};
}

static PositionCells normalised(int startCol, int startRow, int endCol, int endRow) {
    return {std::min(startCol, endCol), std::min(startRow, endRow), std::max(startCol, endCol),
            std::max(startRow, endRow)};
}

PositionCells readPosition(const PositionValues& values) {
    return normalised(integerOf(values.startCol), integerOf(values.startRow), integerOf(values.endCol),
                      integerOf(values.endRow));
}

// The position against the form's grid, in the order the page reports.
PageControl checkPosition(const PositionCells& cells, const FormInfo& form) {
    if (cells.startCol <= 0)
        return PageControl::StartCol;
    if (cells.startRow <= 0)
        return PageControl::StartRow;
    if (cells.endCol > form.columns)
        return PageControl::EndCol;
    if (cells.endRow > form.rows)
        return PageControl::EndRow;
    return PageControl::None;
}

namespace {

template <typename Record> void putCells(Record& record, const PositionCells& cells) {
    record.startCol = cells.startCol;
    record.startRow = cells.startRow;
    record.endCol = cells.endCol;
    record.endRow = cells.endRow;
}

PageControl layoutControl(const FormInfo& form) {
    const std::optional<formdesc::FormError> error = formdesc::checkPageLayout(form);
    switch (error ? error->code : 0) {
    case 4:
        return PageControl::Columns;
    case 5:
        return PageControl::Rows;
    case 6:
        return PageControl::LeftMargin;
    case 7:
        return PageControl::TopMargin;
    default:
        break;
    }
    // A negative margin is written as none and would come back as 0.
    if (form.leftMargin < 0)
        return PageControl::LeftMargin;
    if (form.topMargin < 0)
        return PageControl::TopMargin;
    return PageControl::None;
}

FigureValues fillLineOrRect(const FigureInfo& figure, AttributeList kindList) {
    FigureValues values;
    values.position = fillPosition(figure.startCol, figure.startRow, figure.endCol, figure.endRow);
    values.kind = positionOf(kindList, figure.course);
    values.lineType = positionOf(AttributeList::LineType, figure.lineType);
    values.lineWidth = positionOf(AttributeList::LineWidth, figure.lineWidth);
    values.lineColor = figure.lineColor;
    values.meshColor = figure.meshColor;
    values.loopDir = positionOf(AttributeList::LoopDirection, figure.loopDir);
    values.loopCount = loopText(figure.loopCount);
    values.loopPitch = loopText(figure.loopPitch);
    return values;
}

// The steps a line and a rectangle share; the course rule of a line runs
// between normalising and checking.
template <typename AdjustCells>
StoreResult<FigureInfo> storeLineOrRect(const FigureValues& values, const FormInfo& form, int kind,
                                        AttributeList kindList, AdjustCells&& adjust) {
    StoreResult<FigureInfo> result;
    FigureInfo& figure = result.record;
    figure.kind = kind;
    figure.course = codeOf(kindList, values.kind);
    figure.lineType = codeOf(AttributeList::LineType, values.lineType);
    figure.lineWidth = codeOf(AttributeList::LineWidth, values.lineWidth);
    figure.lineColor = values.lineColor;
    if (kind == formdesc::kKindRect) // a line has no fill
        figure.meshColor = values.meshColor;
    figure.loopDir = codeOf(AttributeList::LoopDirection, values.loopDir);
    figure.loopCount = integerOf(values.loopCount);
    figure.loopPitch = integerOf(values.loopPitch);
    PositionCells cells = readPosition(values.position);
    adjust(figure, cells);
    putCells(figure, cells);
    if (const PageControl failing = checkPosition(cells, form); failing != PageControl::None)
        refuse(result, failing, positionReason(failing, form));
    checkReadsBack(result,
                   [&form](const FigureInfo& fresh) { return formdesc::figureSurvives(fresh, form); });
    return result;
}

} // namespace

QString loopText(int value) {
    return value <= 0 ? QString() : QString::number(value);
}

BaseValues fillBase(const FormInfo& form) {
    BaseValues values;
    values.title = textOf(formdesc::sjis::view(form.title));
    values.tagMode = positionOf(AttributeList::TagMode, form.tagMode);
    values.paperSize = form.paperSize;
    values.landscape = form.direction == formdesc::kLandscape;
    values.rows = QString::number(form.rows);
    values.columns = QString::number(form.columns);
    values.topMargin = tenthsText(form.topMargin);
    values.leftMargin = tenthsText(form.leftMargin);
    values.fontName = textOf(formdesc::sjis::view(form.fontName));
    values.fontSize = tenthsText(form.fontSize);
    values.lineType = positionOf(AttributeList::LineType, form.lineType);
    values.lineWidth = positionOf(AttributeList::LineWidth, form.lineWidth);
    values.textColor = form.textColor;
    values.lineColor = form.lineColor;
    values.meshColor = form.meshColor;
    return values;
}

FieldValues fillField(const FieldInfo& field) {
    FieldValues values;
    values.position = fillPosition(field.startCol, field.startRow, field.endCol, field.endRow);
    values.tag = textOf(formdesc::sjis::view(field.tag));
    values.fontName = textOf(formdesc::sjis::view(field.fontName));
    values.fontSize = tenthsText(field.fontSize);
    values.textColor = field.textColor;
    values.wide = field.wide == 1;
    values.center = field.center == 1;
    values.space = field.space == 1;
    values.onLine = field.onLine == 1;
    values.minus = field.minus == 1;
    values.constText = textOf(formdesc::sjis::view(field.constText));
    return values;
}

FigureValues fillFigure(const FigureInfo& figure) {
    return fillLineOrRect(figure, figure.kind == formdesc::kKindRect ? AttributeList::MeshKind
                                                                     : AttributeList::LineCourse);
}

BitmapValues fillBitmap(const FigureInfo& figure) {
    BitmapValues values;
    values.position = fillPosition(figure.startCol, figure.startRow, figure.endCol, figure.endRow);
    values.fileName = textOf(formdesc::sjis::view(figure.fileName()));
    return values;
}

StoreResult<FormInfo> storeBase(const BaseValues& values, const FormInfo& stored) {
    const auto model = std::make_unique<formdesc::FormModel>();
    model->form = stored;
    return storeBase(values, *model);
}

StoreResult<FormInfo> storeBase(const BaseValues& values, const formdesc::FormModel& model) {
    StoreResult<FormInfo> result;
    FormInfo& form = result.record;
    form.speed = model.form.speed;
    const bool titleStored = storeText(form.title, values.title, kTitleBytes);
    form.tagMode = codeOf(AttributeList::TagMode, values.tagMode);
    form.paperSize = values.paperSize;
    form.direction = values.landscape ? formdesc::kLandscape : formdesc::kPortrait;
    form.rows = integerOf(values.rows);
    form.columns = integerOf(values.columns);
    form.topMargin = tenthsOf(values.topMargin);
    form.leftMargin = tenthsOf(values.leftMargin);
    const bool faceStored = storeFaceName(form.fontName, values.fontName);
    form.fontSize = tenthsOf(values.fontSize);
    form.lineType = codeOf(AttributeList::LineType, values.lineType);
    form.lineWidth = codeOf(AttributeList::LineWidth, values.lineWidth);
    form.textColor = values.textColor;
    form.lineColor = values.lineColor;
    form.meshColor = values.meshColor;

    static constexpr PageControl kTexts[] = {PageControl::Title, PageControl::FontName};
    if (!titleStored) {
        refuse(result, PageControl::Title, textNotStoredReason(PageControl::Title));
    } else if (!faceStored) {
        refuse(result, PageControl::FontName, textNotStoredReason(PageControl::FontName));
    } else if (const int broken = brokenText(form); broken >= 0) {
        const QString& text = broken == 0 ? values.title : values.fontName;
        refuse(result, kTexts[broken], textChangedReason(kTexts[broken], text));
    } else if (const PageControl layout = layoutControl(form); layout != PageControl::None) {
        refuse(result, layout, layoutReason(layout));
    } else {
        // The whole form as the reader would check it on the next open.
        const auto whole = std::make_unique<formdesc::FormModel>(model);
        whole->form = form;
        if (const std::optional<formdesc::FormError> error =
                formdesc::checkForm(*whole, formdesc::ReaderVariant::Designer)) {
            const FormRefusal refusal = formRefusal(*error, *whole);
            refuse(result, refusal.control, refusal.reason);
        }
    }
    checkReadsBack(result, [](const FormInfo& fresh) { return formdesc::formSurvives(fresh); });
    return result;
}

StoreResult<FieldInfo> storeField(const FieldValues& values, const FieldInfo& stored, const FormInfo& form) {
    StoreResult<FieldInfo> result;
    FieldInfo& field = result.record;
    field.mesh = stored.mesh;
    field.meshColor = stored.meshColor;
    // A field is one row high: the start row gives both rows.
    const int row = integerOf(values.position.startRow);
    const PositionCells cells =
        normalised(integerOf(values.position.startCol), row, integerOf(values.position.endCol), row);
    putCells(field, cells);
    const bool tagStored = storeText(field.tag, values.tag, kTagBytes);
    const bool faceStored = storeFaceName(field.fontName, values.fontName);
    field.fontSize = tenthsOf(values.fontSize);
    field.textColor = values.textColor;
    field.wide = values.wide ? 1 : 0;
    field.center = values.center ? 1 : 0;
    field.space = values.space ? 1 : 0;
    field.onLine = values.onLine ? 1 : 0;
    field.minus = values.minus ? 1 : 0;
    const bool constStored = storeText(field.constText, values.constText, kConstBytes);

    static constexpr PageControl kTexts[] = {PageControl::Tag, PageControl::FontName, PageControl::ConstText};
    if (const PageControl failing = checkPosition(cells, form); failing != PageControl::None)
        refuse(result, failing, positionReason(failing, form));
    else if (!tagStored)
        refuse(result, PageControl::Tag, textNotStoredReason(PageControl::Tag));
    else if (!faceStored)
        refuse(result, PageControl::FontName, textNotStoredReason(PageControl::FontName));
    else if (!constStored)
        refuse(result, PageControl::ConstText, textNotStoredReason(PageControl::ConstText));
    else if (const int broken = brokenText(field, form); broken >= 0) {
        const QString* kShown[] = {&values.tag, &values.fontName, &values.constText};
        refuse(result, kTexts[broken], textChangedReason(kTexts[broken], *kShown[broken]));
    }
    checkReadsBack(result, [&form](const FieldInfo& fresh) { return formdesc::fieldSurvives(fresh, form); });
    return result;
}

StoreResult<FigureInfo> storeLine(const FigureValues& values, const FormInfo& form) {
    return storeLineOrRect(values, form, formdesc::kKindLine, AttributeList::LineCourse,
                           [](const FigureInfo& line, PositionCells& cells) {
                               if (line.course == formdesc::kCourseH)
                                   cells.endRow = cells.startRow;
                               else if (line.course == formdesc::kCourseV)
                                   cells.endCol = cells.startCol;
                           });
}

StoreResult<FigureInfo> storeRect(const FigureValues& values, const FormInfo& form) {
    return storeLineOrRect(values, form, formdesc::kKindRect, AttributeList::MeshKind,
                           [](const FigureInfo&, PositionCells&) {});
}

StoreResult<FigureInfo> storeBitmap(const BitmapValues& values, const FormInfo& form) {
    StoreResult<FigureInfo> result;
    FigureInfo& bitmap = result.record;
    bitmap.kind = formdesc::kKindBitmap;
    const PositionCells cells = readPosition(values.position);
    putCells(bitmap, cells);
    const bool fileStored = storeText(bitmap.fileName(), values.fileName, kFileNameBytes);
    if (const PageControl failing = checkPosition(cells, form); failing != PageControl::None)
        refuse(result, failing, positionReason(failing, form));
    else if (!fileStored)
        refuse(result, PageControl::FileName, textNotStoredReason(PageControl::FileName));
    else if (brokenText(bitmap, form) >= 0)
        refuse(result, PageControl::FileName, textChangedReason(PageControl::FileName, values.fileName));
    checkReadsBack(result,
                   [&form](const FigureInfo& fresh) { return formdesc::figureSurvives(fresh, form); });
    return result;
}

int neighbourItem(const formdesc::FormModel& model, int kind, int index, int direction) {
    const bool fields = kind == formdesc::kKindField;
    const int count = fields ? model.fieldCount : model.figureCount;
    if (index < 0 || index >= count)
        return index;
    int at = index;
    for (int steps = 0; steps < count; ++steps) {
        at = (at + direction % count + count) % count;
        if (fields || model.figures[std::size_t(at)].kind == kind)
            return at;
    }
    return index;
}

} // namespace editor
