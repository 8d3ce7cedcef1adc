#include "editor/sheets/BarcodePageRules.h"

#include "formdesc/Barcode.h"
#include "formdesc/FormReader.h"
#include "formdesc/ShiftJis.h"
#include "tests/support/FormRecords.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

using editor::BarcodeValues;
using editor::PageControl;

namespace {

std::unique_ptr<formdesc::FormModel> formWithFields() {
    auto model = std::make_unique<formdesc::FormModel>();
    model->form = testsupport::printForm180x60();
    model->appendField(testsupport::fieldRecord(1, 1, 10, "AMOUNT"));
    model->appendField(testsupport::fieldRecord(1, 2, 10, "CODE"));
    model->appendField(testsupport::fieldRecord(1, 3, 10, "AMOUNT"));
    return model;
}

} // namespace

// Every type, from a constant and from a field, with HRI and ECC: the page's
// values store back to the same bytes, and the record reads back from the
// form file (the store's last gate). HRI stays with linear codes and ECC with
// QR only, as the file keeps them.
TEST(BarcodePageRules, EveryTypeStoresBackAsFilled) {
    const auto model = formWithFields();
    EXPECT_EQ(editor::fieldTagsOf(*model), (QStringList{"AMOUNT", "CODE"}));
    EXPECT_EQ(editor::barcodeTypeNames().size(), formdesc::kBarcodeTypeCount);
    for (int type = 1; type <= formdesc::kBarcodeTypeCount; ++type)
        for (const bool fromField : {false, true}) {
            const bool linear = !formdesc::isTwoDimensional(type);
            const int ecc = type == formdesc::kBarcodeQr ? formdesc::kEccH : formdesc::kEccDefault;
            formdesc::FigureInfo stored = testsupport::barcodeRecord(
                3, 4, 20, 12, type, fromField ? "CODE" : "4901234567894", fromField, linear, ecc);
            stored.lineColor = formdesc::rgb(0, 0, 128);
            const BarcodeValues values = editor::fillBarcode(stored);
            EXPECT_EQ(values.type, type - 1);
            const auto result = editor::storeBarcodeValues(values, *model);
            ASSERT_TRUE(result.accepted()) << type << " " << result.reason.toStdString();
            EXPECT_TRUE(formdesc::sameBytes(result.record, stored)) << type << " field " << fromField;

            // Switched on where the file keeps no such attribute: dropped.
            BarcodeValues extra = values;
            extra.hri = true;
            extra.ecc = 3;
            const formdesc::BarcodeAttributes kept =
                formdesc::barcodeOf(editor::storeBarcodeValues(extra, *model).record);
            EXPECT_EQ(kept.hri, linear) << type;
            EXPECT_EQ(kept.ecc, type == formdesc::kBarcodeQr ? 3 : 0) << type;
        }
}

// A grid that would leave a barcode outside names it by its kind.
TEST(BarcodePageRules, GridRefusalNamesTheBarcode) {
    std::ifstream file(ZRK_SOURCE_DIR "/tests/data/barcode-statements.zrk", std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    const auto model = std::make_unique<formdesc::FormModel>();
    ASSERT_FALSE(formdesc::readFormStatements(bytes, *model, formdesc::ReaderVariant::Designer));
    ASSERT_FALSE(formdesc::checkForm(*model, formdesc::ReaderVariant::Designer));
    editor::BaseValues values = editor::fillBase(model->form);
    values.columns = "140";
    const auto result = editor::storeBase(values, *model);
    EXPECT_EQ(result.failing, PageControl::Columns);
    EXPECT_EQ(result.reason,
              QStringLiteral("2番目の図形（バーコード）（3〜10行 91〜151列）が桁数 140 の外に出ます"));
}

// Each refusal points at its control with a reason in the page's words.
TEST(BarcodePageRules, RefusalsNameTheControlAndWhy) {
    const auto model = formWithFields();
    const BarcodeValues good = editor::fillBarcode(testsupport::barcodeRecord(3, 4, 20, 12, 9, "ABC"));
    const struct {
        const char* name;
        std::function<void(BarcodeValues&)> change;
        PageControl control;
        const char* reason;
    } rows[] = {
        {"end column past the grid", [](BarcodeValues& v) { v.position.endCol = "181"; }, PageControl::EndCol,
         "終了列は1〜180の範囲で指定してください"},
        {"empty constant", [](BarcodeValues& v) { v.constText = "  "; }, PageControl::BarcodeText,
         "内容を入力してください"},
        {"quote in the constant", [](BarcodeValues& v) { v.constText = "A\"B"; }, PageControl::BarcodeText,
         "内容の「\"」は帳票ファイルに保存できません"},
        {"character without Shift-JIS", [](BarcodeValues& v) { v.constText = "A€"; },
         PageControl::BarcodeText, "内容にShift-JISで表せない文字があるか、長すぎます"},
        {"too long", [](BarcodeValues& v) { v.constText = QString(300, 'A'); }, PageControl::BarcodeText,
         "内容にShift-JISで表せない文字があるか、長すぎます"},
        {"no field chosen",
         [](BarcodeValues& v) {
             v.fromField = true;
             v.fieldTag.clear();
         },
         PageControl::BarcodeField, "フィールドを選んでください"},
        {"tag the form lacks",
         [](BarcodeValues& v) {
             v.fromField = true;
             v.fieldTag = "GONE";
         },
         PageControl::BarcodeField, "フィールドを選んでください"},
    };
    for (const auto& row : rows) {
        BarcodeValues values = good;
        row.change(values);
        const auto result = editor::storeBarcodeValues(values, *model);
        EXPECT_EQ(result.failing, row.control) << row.name;
        EXPECT_EQ(result.reason, QString::fromUtf8(row.reason)) << row.name;
    }
}
