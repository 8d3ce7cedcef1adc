#include "formdesc/StatementParsers.h"

#include "formdesc/Barcode.h"
#include "formdesc/KeyLookup.h"
#include "formdesc/ShiftJis.h"
#include "formdesc/ValueParsers.h"

namespace formdesc {

namespace {

constexpr std::size_t kTagBytes = 8;
constexpr std::size_t kConstBytes = 128;

// Looks up a key with the value buffer of the statement kind.
class Statement {
  public:
    Statement(std::string_view text, std::size_t valueBytes) : m_text(text), m_valueBytes(valueBytes) {}
    std::optional<std::string> value(std::string_view key) const {
        return findKeyValue(m_text, key, m_valueBytes);
    }
    bool flag(std::string_view key) const {
        auto v = value(key);
        return v && parseOn(*v);
    }
    void color(std::string_view key, int& target) const {
        if (auto v = value(key))
            parseColor(*v, target);
    }
    void locate(int& c1, int& r1, int& c2, int& r2) const {
        if (auto v = value("LOCATE"))
            parseLocate(*v, c1, r1, c2, r2);
    }
    void lineType(int& type, int& width) const {
        if (auto v = value("LTYPE"))
            parsePair(*v, type, width);
    }
    std::string_view text() const { return m_text; }

  private:
    std::string_view m_text;
    std::size_t m_valueBytes;
};

int paperCode(std::string_view value) {
    if (value == "A3")
        return kPaperA3;
    if (value == "A4")
        return kPaperA4;
    if (value == "B4")
        return kPaperB4;
    if (value == "A5")
        return kPaperA5;
    if (value == "B5")
        return kPaperB5;
    return 0;
}

int courseCode(std::string_view value) {
    if (value == "H")
        return kCourseH;
    if (value == "V")
        return kCourseV;
    if (value == "LU")
        return kCourseLU;
    if (value == "RU")
        return kCourseRU;
    return 0;
}

template <std::size_t N> auto storeInto(char (&array)[N]) {
    return [&array](std::string_view text) { sjis::storeWhole(array, N, text); };
}

} // namespace

void parseBaseStatement(std::string_view text, FormModel& model) {
    const Statement s(text, kLongValueBytes);
    FormInfo info{};
    if (auto v = s.value("TITLE"))
        if (auto title = parseQuoted(*v))
            sjis::storeWhole(info.title, sizeof info.title, *title);
    info.tagMode = s.flag("TAGMODE") ? 1 : 0;
    if (auto v = s.value("SIZE"))
        info.paperSize = paperCode(*v);
    if (auto v = s.value("DIRECTION"))
        info.direction = *v == "L" ? kLandscape : *v == "P" ? kPortrait : 0;
    if (auto v = s.value("COLUMN"))
        info.columns = parseInteger(*v);
    if (auto v = s.value("ROW"))
        info.rows = parseInteger(*v);
    if (auto v = s.value("LMARGIN"))
        info.leftMargin = parseTenths(*v);
    if (auto v = s.value("TMARGIN"))
        info.topMargin = parseTenths(*v);
    if (auto v = s.value("FONT"))
        parseFont(*v, storeInto(info.fontName), info.fontSize);
    s.lineType(info.lineType, info.lineWidth);
    s.color("TCOLOR", info.textColor);
    s.color("LCOLOR", info.lineColor);
    s.color("MCOLOR", info.meshColor);
    info.speed = s.flag("SPEED") ? 1 : 0;
    model.form = info;
}

bool parseFieldStatement(std::string_view text, FormModel& model, ReaderVariant variant) {
    const Statement s(text, kLongValueBytes);
    const FormInfo& form = model.form;
    FieldInfo field{};
    sjis::storeWhole(field.fontName, sizeof field.fontName, sjis::view(form.fontName));
    field.fontSize = form.fontSize;
    field.textColor = form.textColor;
    field.meshColor = form.meshColor;

    s.locate(field.startCol, field.startRow, field.endCol, field.endRow);
    if (variant == ReaderVariant::Designer)
        field.endRow = field.startRow;
    if (auto v = s.value("TAG"))
        if (auto tag = parseQuoted(*v))
            sjis::storeBytes(field.tag, sizeof field.tag, kTagBytes, *tag);
    if (auto v = s.value("FONT"))
        parseFont(*v, storeInto(field.fontName), field.fontSize);
    s.color("TCOLOR", field.textColor);
    field.wide = s.flag("WIDE");
    field.center = s.flag("CENTER");
    field.space = s.flag("SPACE");
    field.onLine = s.flag("ONLINE");
    field.minus = s.flag("MINUS");
    field.mesh = s.flag("MESH");
    s.color("MCOLOR", field.meshColor);
    if (auto v = findQuotedKeyValue(text, "CONST", kLongValueBytes))
        if (auto constant = parseQuoted(*v))
            sjis::storeBytes(field.constText, sizeof field.constText, kConstBytes, *constant);
    return model.appendField(field);
}

bool parseFigureStatement(int kind, std::string_view text, FormModel& model) {
    const Statement s(text, kShortValueBytes);
    const FormInfo& form = model.form;
    FigureInfo figure{};
    figure.kind = kind;
    s.locate(figure.startCol, figure.startRow, figure.endCol, figure.endRow);
    if (kind == kKindBitmap) {
        if (auto v = s.value("FILE"))
            if (auto file = parseQuoted(*v))
                sjis::storeWhole(figure.fileName(), sizeof figure.fileName(), *file);
        return model.appendFigure(figure);
    }
    figure.lineType = form.lineType;
    figure.lineWidth = form.lineWidth;
    figure.lineColor = form.lineColor;
    s.lineType(figure.lineType, figure.lineWidth);
    s.color("LCOLOR", figure.lineColor);
    if (auto v = s.value("LOOP"))
        parseLoop(*v, figure.loopDir, figure.loopCount, figure.loopPitch);
    if (kind == kKindLine) {
        figure.course = figure.startRow == figure.endRow   ? kCourseH
                        : figure.startCol == figure.endCol ? kCourseV
                                                           : kCourseLU;
        if (auto v = s.value("COURSE"))
            if (int course = courseCode(*v))
                figure.course = course;
    } else {
        figure.meshColor = form.meshColor;
        if (auto v = s.value("MESH"))
            figure.meshKind() = *v == "ON" ? kMeshFillOnly : *v == "BOTH" ? kMeshFrameAndFill : 0;
        s.color("MCOLOR", figure.meshColor);
    }
    return model.appendFigure(figure);
}

bool parseBarcodeStatement(std::string_view text, FormModel& model) {
    const Statement s(text, kShortValueBytes);
    FigureInfo figure{};
    figure.kind = kKindBarcode;
    s.locate(figure.startCol, figure.startRow, figure.endCol, figure.endRow);
    figure.lineColor = model.form.lineColor;
    s.color("LCOLOR", figure.lineColor);
    if (auto v = s.value("LOOP"))
        parseLoop(*v, figure.loopDir, figure.loopCount, figure.loopPitch);

    // Unlike the ON flags of other statements, a value that is none of the
    // names is kept as bad for the check pass to name.
    BarcodeAttributes barcode;
    if (auto v = s.value("TYPE"))
        barcode.type = barcodeTypeFromName(*v).value_or(kBarcodeBadValue);
    if (auto v = s.value("ECC"))
        barcode.ecc = barcodeEccFromName(*v).value_or(kBarcodeBadValue);
    int hri = 0;
    if (auto v = s.value("HRI"))
        hri = *v == "ON" ? 1 : *v == "OFF" ? 0 : kBarcodeBadValue;

    // The content: exactly one of CONST (which may hold commas) and FIELD.
    const bool hasConst = s.value("CONST").has_value();
    const bool hasField = s.value("FIELD").has_value();
    int content = kContentMissing;
    if (hasConst && hasField) {
        content = kContentBoth;
    } else if (hasConst) {
        content = kContentBadConst;
        if (auto v = findQuotedKeyValue(text, "CONST", kShortValueBytes))
            if (auto constant = parseQuoted(*v)) {
                barcode.text = sjis::cutWhole(*constant, BarcodeLayout::kTextBytes - 1);
                content = 0;
            }
    } else if (hasField) {
        content = kContentBadField;
        if (auto tag = parseQuoted(*s.value("FIELD"))) {
            // Cut as a field's tag is, so that the two still match.
            barcode.text = tag->substr(0, std::min(tag->size(), kTagBytes));
            content = 1;
        }
    }
    storeBarcode(figure, barcode);
    figure.reserved[BarcodeLayout::kHri] = static_cast<char>(hri);
    figure.reserved[BarcodeLayout::kFromField] = static_cast<char>(content);
    return model.appendFigure(figure);
}

bool parseStatement(int kind, std::string_view statement, FormModel& model, ReaderVariant variant) {
    switch (kind) {
    case kKindBase:
        parseBaseStatement(statement, model);
        return true;
    case kKindField:
        return parseFieldStatement(statement, model, variant);
    case kKindLine:
    case kKindRect:
    case kKindBitmap:
        return parseFigureStatement(kind, statement, model);
    case kKindBarcode:
        return parseBarcodeStatement(statement, model);
    default:
        return true;
    }
}

} // namespace formdesc
