#include "runtime/cli/FormJson.h"

#include "formdesc/Barcode.h"
#include "formdesc/ShiftJis.h"

namespace zrkcli {

using formdesc::sjis::toUtf8;
using formdesc::sjis::view;
using Json = nlohmann::ordered_json;

namespace {

Json formJson(const formdesc::FormInfo& f) {
    return Json{{"title", toUtf8(view(f.title))},
                {"paperSize", f.paperSize},
                {"direction", f.direction},
                {"columns", f.columns},
                {"rows", f.rows},
                {"leftMargin", f.leftMargin},
                {"topMargin", f.topMargin},
                {"tagMode", f.tagMode},
                {"speed", f.speed},
                {"fontName", toUtf8(view(f.fontName))},
                {"fontSize", f.fontSize},
                {"textColor", f.textColor},
                {"lineType", f.lineType},
                {"lineWidth", f.lineWidth},
                {"lineColor", f.lineColor},
                {"meshColor", f.meshColor}};
}

Json fieldJson(const formdesc::FieldInfo& f) {
    return Json{{"startCol", f.startCol},
                {"startRow", f.startRow},
                {"endCol", f.endCol},
                {"endRow", f.endRow},
                {"tag", toUtf8(view(f.tag))},
                {"fontName", toUtf8(view(f.fontName))},
                {"fontSize", f.fontSize},
                {"textColor", f.textColor},
                {"wide", f.wide},
                {"center", f.center},
                {"space", f.space},
                {"onLine", f.onLine},
                {"minus", f.minus},
                {"mesh", f.mesh},
                {"meshColor", f.meshColor},
                {"constText", toUtf8(view(f.constText))}};
}

Json figureJson(const formdesc::FigureInfo& f) {
    Json json{{"kind", f.kind},
              {"startCol", f.startCol},
              {"startRow", f.startRow},
              {"endCol", f.endCol},
              {"endRow", f.endRow}};
    if (f.kind == formdesc::kKindBitmap) {
        json["fileName"] = toUtf8(view(f.fileName()));
        return json;
    }
    if (f.kind == formdesc::kKindBarcode) {
        // Names as the statement has them; a value no statement gives shows
        // as its number.
        const formdesc::BarcodeAttributes barcode = formdesc::barcodeOf(f);
        const std::string_view type = formdesc::barcodeTypeName(barcode.type);
        json["type"] = type.empty() ? Json(barcode.type) : Json(std::string(type));
        json["hri"] = barcode.hri ? 1 : 0;
        const std::string_view ecc = formdesc::barcodeEccName(barcode.ecc);
        json["ecc"] =
            ecc.empty() && barcode.ecc != formdesc::kEccDefault ? Json(barcode.ecc) : Json(std::string(ecc));
        // Neither key for a statement whose content the check refuses.
        const auto content = static_cast<unsigned char>(f.reserved[formdesc::BarcodeLayout::kFromField]);
        if (content <= 1)
            json[content == 1 ? "field" : "const"] = toUtf8(barcode.text);
        json["lineColor"] = f.lineColor;
        json["loopDir"] = f.loopDir;
        json["loopCount"] = f.loopCount;
        json["loopPitch"] = f.loopPitch;
        return json;
    }
    json["lineType"] = f.lineType;
    json["lineWidth"] = f.lineWidth;
    json["lineColor"] = f.lineColor;
    json["loopDir"] = f.loopDir;
    json["loopCount"] = f.loopCount;
    json["loopPitch"] = f.loopPitch;
    if (f.kind == formdesc::kKindLine) {
        json["course"] = f.course;
    } else {
        json["meshKind"] = f.meshKind();
        json["meshColor"] = f.meshColor;
    }
    return json;
}

} // namespace

Json formModelToJson(const formdesc::FormModel& model) {
    Json fields = Json::array();
    for (int i = 0; i < model.fieldCount; ++i)
        fields.push_back(fieldJson(model.fields[static_cast<std::size_t>(i)]));
    Json figures = Json::array();
    for (int i = 0; i < model.figureCount; ++i)
        figures.push_back(figureJson(model.figures[static_cast<std::size_t>(i)]));
    return Json{
        {"form", formJson(model.form)}, {"fields", std::move(fields)}, {"figures", std::move(figures)}};
}

} // namespace zrkcli
