#include "formdesc/FormModel.h"

#include "formdesc/ShiftJis.h"

namespace formdesc {

bool paperDimensions(int paperSize, PaperDimensions& out) {
    switch (paperSize) {
    case kPaperA3:
        out = {4200, 2970};
        return true;
    case kPaperA4:
        out = {2970, 2100};
        return true;
    case kPaperB4:
        out = {3640, 2570};
        return true;
    case kPaperA5:
        out = {2100, 1480};
        return true;
    case kPaperB5:
        out = {2570, 1820};
        return true;
    default:
        return false;
    }
}

bool pageSizeTenths(int paperSize, int direction, int& width, int& height) {
    PaperDimensions paper{};
    if (!paperDimensions(paperSize, paper))
        return false;
    const bool landscape = direction == kLandscape;
    width = landscape ? paper.longSide : paper.shortSide;
    height = landscape ? paper.shortSide : paper.longSide;
    return true;
}

void FormModel::clear() {
    std::memset(&form, 0, sizeof form);
    std::memset(fields.data(), 0, sizeof(FieldInfo) * fields.size());
    std::memset(figures.data(), 0, sizeof(FigureInfo) * figures.size());
    fieldCount = 0;
    figureCount = 0;
}

void FormModel::setNewFormDefaults() {
    clear();
    copyText(form.title, sizeof form.title, sjis::fromUtf8("新規帳票").c_str());
    form.paperSize = kPaperB4;
    form.direction = kLandscape;
    form.columns = 180;
    form.rows = 60;
    form.leftMargin = 50;
    form.topMargin = 50;
    copyText(form.fontName, sizeof form.fontName, sjis::fromUtf8("ＭＳ 明朝").c_str());
    form.fontSize = 90;
    form.textColor = 0;
    form.lineType = kLineSolid;
    form.lineWidth = kWidthStandard;
    form.lineColor = 0;
    form.meshColor = rgb(192, 192, 192);
}

bool FormModel::appendField(const FieldInfo& field) {
    if (fieldCount >= kMaxItems)
        return false;
    fields[static_cast<std::size_t>(fieldCount++)] = field;
    return true;
}

bool FormModel::appendFigure(const FigureInfo& figure) {
    if (figureCount >= kMaxItems)
        return false;
    figures[static_cast<std::size_t>(figureCount++)] = figure;
    return true;
}

void copyText(char* dest, std::size_t capacity, const char* src) {
    sjis::storeWhole(dest, capacity, src ? std::string_view(src) : std::string_view());
}

} // namespace formdesc
