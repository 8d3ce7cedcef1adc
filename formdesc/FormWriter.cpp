#include "formdesc/FormWriter.h"

#include "formdesc/AtomicFile.h"
#include "formdesc/Barcode.h"
#include "formdesc/FormMessages.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/ShiftJis.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace formdesc {

namespace {

std::string format(const char* pattern, auto... args) {
    const int length = std::snprintf(nullptr, 0, pattern, args...);
    std::string text(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    std::snprintf(text.data(), text.size() + 1, pattern, args...);
    return text;
}

std::string hexColor(const char* key, int color) {
    return format("%s=#%02X%02X%02X", key, color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

std::string fontItem(std::string_view name, int size) {
    return "FONT=\"" + std::string(name) + "\"-" + formatTenths(size) + ", ";
}

std::string locate(const char* keyword, int c1, int r1, int c2, int r2) {
    return format("%s LOCATE=(%d, %d)-(%d, %d), ", keyword, c1, r1, c2, r2);
}

// Items end in ", "; the last one's separator becomes the closing ";".
std::string closeStatement(std::string items) {
    items.resize(items.size() >= 2 ? items.size() - 2 : 0);
    return items + ";\n";
}

const char* paperKeyword(int code) {
    switch (code) {
    case kPaperA3:
        return "A3";
    case kPaperB4:
        return "B4";
    case kPaperA5:
        return "A5";
    case kPaperB5:
        return "B5";
    default:
        return "A4";
    }
}

std::string toCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n')
            out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

std::string sectionComment(const char* utf8Title) {
    return "//\n//\t" + sjis::fromUtf8(utf8Title) + "\n//\n";
}

} // namespace

CalendarDate creationDate() {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        now = static_cast<std::time_t>(std::strtoll(epoch, nullptr, 10));
        gmtime_r(&now, &parts);
    } else {
        localtime_r(&now, &parts);
    }
    return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

std::string formatTenths(int value) {
    if (value == 0)
        return {};
    // Wide enough for INT_MIN, whose magnitude no int holds.
    const long long wide = value;
    const long long magnitude = wide < 0 ? -wide : wide;
    const char* sign = wide < 0 ? "-" : "";
    if (magnitude % 10 != 0)
        return format("%s%lld.%lld", sign, magnitude / 10, magnitude % 10);
    return format("%s%lld", sign, magnitude / 10);
}

std::string formatBaseStatement(const FormInfo& form) {
    std::string s = "BASE TITLE=\"" + std::string(sjis::view(form.title)) + "\", ";
    s += format("SIZE=%s, ", paperKeyword(form.paperSize));
    s += format("DIRECTION=%s, COLUMN=%d, ROW=%d, ", form.direction == kLandscape ? "L" : "P", form.columns,
                form.rows);
    if (form.tagMode == 1)
        s += "TAGMODE=ON, ";
    if (form.speed == 1)
        s += "SPEED=ON, ";
    // A margin below zero is kept too: the reader takes it as written.
    if (form.leftMargin != 0)
        s += "LMARGIN=" + formatTenths(form.leftMargin) + ", ";
    if (form.topMargin != 0)
        s += "TMARGIN=" + formatTenths(form.topMargin) + ", ";
    s += fontItem(sjis::view(form.fontName), form.fontSize);
    s += format("LTYPE=%d-%d, ", form.lineType, form.lineWidth);
    s += hexColor("TCOLOR", form.textColor) + ", ";
    s += hexColor("LCOLOR", form.lineColor) + ", ";
    s += hexColor("MCOLOR", form.meshColor) + ";\n";
    return s;
}

std::string formatFieldStatement(const FieldInfo& field, const FormInfo& form) {
    const std::string tag(sjis::view(field.tag));
    std::string s;
    if (form.tagMode == 1) {
        s = "FIELD TAG=\"" + tag + "\", ";
        s += locate("", field.startCol, field.startRow, field.endCol, field.endRow).substr(1);
    } else {
        s = locate("FIELD", field.startCol, field.startRow, field.endCol, field.endRow);
        if (!tag.empty())
            s += "TAG=\"" + tag + "\", ";
    }
    if (sjis::view(field.fontName) != sjis::view(form.fontName) || field.fontSize != form.fontSize)
        s += fontItem(sjis::view(field.fontName), field.fontSize);
    if (field.textColor != form.textColor)
        s += hexColor("TCOLOR", field.textColor) + ", ";
    static constexpr struct {
        std::int32_t FieldInfo::*flag;
        const char* item;
    } kFlags[] = {{&FieldInfo::wide, "WIDE=ON, "},   {&FieldInfo::center, "CENTER=ON, "},
                  {&FieldInfo::space, "SPACE=ON, "}, {&FieldInfo::onLine, "ONLINE=ON, "},
                  {&FieldInfo::minus, "MINUS=ON, "}, {&FieldInfo::mesh, "MESH=ON, "}};
    for (const auto& entry : kFlags)
        if (field.*entry.flag == 1)
            s += entry.item;
    if (field.constText[0] != '\0')
        s += "\n\t  CONST=\"" + std::string(sjis::view(field.constText)) + "\", ";
    return closeStatement(std::move(s));
}

namespace {

std::string formatLoop(const FigureInfo& figure) {
    if (figure.loopCount <= 0)
        return {};
    const char* direction = figure.loopDir == kLoopH ? "H" : figure.loopDir == kLoopV ? "V" : "N";
    return format("LOOP=%s-%d-%d, ", direction, figure.loopCount, figure.loopPitch);
}

// The content goes last, on a line of its own as a field's constant does:
// every other key is then found before it, and the statement's first line
// names no keyword that the content might hold.
std::string formatBarcodeStatement(const FigureInfo& figure, const FormInfo& form) {
    const BarcodeAttributes barcode = barcodeOf(figure);
    std::string s = locate("BARCODE", figure.startCol, figure.startRow, figure.endCol, figure.endRow);
    s += "TYPE=" + std::string(barcodeTypeName(barcode.type)) + ", ";
    if (barcode.hri)
        s += "HRI=ON, ";
    if (figure.lineColor != form.lineColor)
        s += hexColor("LCOLOR", figure.lineColor) + ", ";
    if (barcode.ecc != kEccDefault)
        s += "ECC=" + std::string(barcodeEccName(barcode.ecc)) + ", ";
    s += formatLoop(figure);
    s += std::string("\n\t  ") + (barcode.fromField ? "FIELD" : "CONST") + "=\"" + barcode.text + "\", ";
    return closeStatement(std::move(s));
}

} // namespace

std::string formatFigureStatement(const FigureInfo& figure, const FormInfo& form) {
    std::string s;
    if (figure.kind == kKindBarcode)
        return formatBarcodeStatement(figure, form);
    if (figure.kind == kKindBitmap) {
        s = locate("BITMAP", figure.startCol, figure.startRow, figure.endCol, figure.endRow);
        s += "FILE=\"" + std::string(sjis::view(figure.fileName())) + "\", ";
        return closeStatement(std::move(s));
    }
    const bool line = figure.kind == kKindLine;
    s = locate(line ? "LINE" : "RECT", figure.startCol, figure.startRow, figure.endCol, figure.endRow);
    if (line && figure.course >= kCourseH && figure.course <= kCourseRU) {
        static constexpr const char* kCourses[] = {"H", "V", "LU", "RU"};
        s += format("COURSE=%s, ", kCourses[figure.course - 1]);
    }
    if (figure.lineType != form.lineType || figure.lineWidth != form.lineWidth)
        s += format("LTYPE=%d-%d, ", figure.lineType, figure.lineWidth);
    if (figure.lineColor != form.lineColor)
        s += hexColor("LCOLOR", figure.lineColor) + ", ";
    if (!line) {
        if (figure.meshKind() == kMeshFillOnly)
            s += "MESH=ON, ";
        else if (figure.meshKind() == kMeshFrameAndFill)
            s += "MESH=BOTH, ";
        if (figure.meshColor != form.meshColor)
            s += hexColor("MCOLOR", figure.meshColor) + ", ";
    }
    s += formatLoop(figure);
    return closeStatement(std::move(s));
}

std::string formatFormFile(const FormModel& model, const CalendarDate& date) {
    std::string text = sjis::fromUtf8(format("//\n//\tTabrikor Ver0.2 (VELDOR Version) by Qen\n"
                                             "//\t作成： %d年 %d月 %d日\n//\n\n",
                                             date.year, date.month, date.day));
    text += sectionComment("帳票情報");
    text += formatBaseStatement(model.form);
    if (model.fieldCount > 0) {
        text += sectionComment("フィールド情報");
        for (int i = 0; i < model.fieldCount; ++i)
            text += formatFieldStatement(model.fields[static_cast<std::size_t>(i)], model.form);
    }
    if (model.figureCount > 0) {
        text += sectionComment("図形");
        for (int i = 0; i < model.figureCount; ++i)
            text += formatFigureStatement(model.figures[static_cast<std::size_t>(i)], model.form);
    }
    text += "\n//\tEnd of file. Good By...\n";
    return toCrLf(text);
}

bool writeFormFile(const std::string& path, const FormModel& model) {
    // The text is read back before it is written: a file that would not give
    // back this form is never written, and the message names the item.
    const std::string text = formatFormFile(model, creationDate());
    if (const auto changed = firstChangedItem(model, text)) {
        reportFormError(*changed, MessageOrigin::Designer);
        return false;
    }
    if (!writeFileAtomically(path, text)) {
        reportFormError(kErrorOther, 2, 0, MessageOrigin::Designer);
        return false;
    }
    return true;
}

} // namespace formdesc
