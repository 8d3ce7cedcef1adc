#pragma once

#include <string>

// The messages of the form reader and of the file and runtime errors, by
// category and code.
namespace formdesc {

enum FormErrorCategory { kErrorForm = 1, kErrorField = 2, kErrorFigure = 3, kErrorOther = 4 };

// Which program shows the message: category 4 has different texts in the
// designer and in the runtime library.
enum class MessageOrigin { Designer, Library };

// Codes shared by several categories: a record past the 1,024 of its kind
// (fields and figures), and a record that the writer's text would not give
// back as it is (form, fields and figures).
constexpr int kFormCodeChanged = 10;
constexpr int kItemCodeLimit = 4;
constexpr int kItemCodeChanged = 5;

// Barcode figures' own codes, after the codes every figure shares.
constexpr int kFigureCodeTypeMissing = 6;
constexpr int kFigureCodeTypeBad = 7;
constexpr int kFigureCodeContentMissing = 8;
constexpr int kFigureCodeContentBoth = 9;
constexpr int kFigureCodeConstBad = 10;
constexpr int kFigureCodeFieldBad = 11;
constexpr int kFigureCodeHriBad = 12;
constexpr int kFigureCodeEccBad = 13;

struct FormError {
    int category = 0;
    int code = 0;
    int item = 0; // 1-based field or figure number for categories 2 and 3
    bool operator==(const FormError&) const = default;
};

// The composed text (UTF-8), e.g. "ﾌｨｰﾙﾄﾞ情報（3行） - LOCATEの指定に誤りがあります".
std::string formErrorText(const FormError& error, MessageOrigin origin);

// Shows the message through the message sink, caption "エラー".
void reportFormError(const FormError& error, MessageOrigin origin);
void reportFormError(int category, int code, int item, MessageOrigin origin);

} // namespace formdesc
