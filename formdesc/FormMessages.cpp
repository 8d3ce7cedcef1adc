#include "formdesc/FormMessages.h"

#include "formdesc/MessageSink.h"

#include <array>
#include <string_view>

namespace formdesc {

namespace {

constexpr std::array<std::string_view, 11> kFormTexts = {
    "",
    "TITLEの指定に誤りがあります",
    "SIZEの指定に誤りがあります",
    "DIRECTIONの指定に誤りがあります",
    "COLUMNの指定に誤りがあります",
    "ROWの指定に誤りがあります",
    "LMARGINの値が大きすぎます",
    "TMARGINの値が大きすぎます",
    "FONTの指定に誤りがあります",
    "LTYPEの指定に誤りがあります",
    "保存すると内容が変わる値があります",
};

constexpr std::array<std::string_view, 6> kFieldTexts = {"",
                                                         "LOCATEの指定がありません",
                                                         "LOCATEの指定に誤りがあります",
                                                         "TAGの指定がありません",
                                                         "登録限度に達しています",
                                                         "保存すると内容が変わる値があります"};

constexpr std::array<std::string_view, 14> kFigureTexts = {"",
                                                           "LOCATEの指定がありません",
                                                           "LOCATEの指定に誤りがあります",
                                                           "LTYPEの指定に誤りがあります",
                                                           "登録限度に達しています",
                                                           "保存すると内容が変わる値があります",
                                                           "TYPEの指定がありません",
                                                           "TYPEの指定に誤りがあります",
                                                           "CONSTかFIELDの指定がありません",
                                                           "CONSTとFIELDは同時に指定できません",
                                                           "CONSTの指定に誤りがあります",
                                                           "FIELDの指定に誤りがあります",
                                                           "HRIの指定に誤りがあります",
                                                           "ECCの指定に誤りがあります"};

constexpr std::array<std::string_view, 5> kDesignerOtherTexts = {
    "", "帳票パラメータが開けません", "帳票パラメータを保存できません", "帳票データを保存できません",
    "libZRK.soが見つかりません"};

constexpr std::array<std::string_view, 8> kLibraryOtherTexts = {
    "", "帳票パラメータがオープンできません", "帳票データがオープンできません", "", "",
    "", "プリンタＤＣの獲得に失敗しました",   "プリンタが使用できません"};

template <std::size_t N> std::string_view textOf(const std::array<std::string_view, N>& texts, int code) {
    if (code < 0 || static_cast<std::size_t>(code) >= N)
        return {};
    return texts[static_cast<std::size_t>(code)];
}

} // namespace

std::string formErrorText(const FormError& error, MessageOrigin origin) {
    std::string text;
    std::string_view codeText;
    switch (error.category) {
    case kErrorForm:
        text = "帳票情報 - ";
        codeText = textOf(kFormTexts, error.code);
        break;
    case kErrorField:
        text = "ﾌｨｰﾙﾄﾞ情報（" + std::to_string(error.item) + "行） - ";
        codeText = textOf(kFieldTexts, error.code);
        break;
    case kErrorFigure:
        text = "図形情報（" + std::to_string(error.item) + "行） - ";
        codeText = textOf(kFigureTexts, error.code);
        break;
    default:
        text = "その他 - ";
        codeText = origin == MessageOrigin::Designer ? textOf(kDesignerOtherTexts, error.code)
                                                     : textOf(kLibraryOtherTexts, error.code);
        break;
    }
    text += codeText;
    return text;
}

void reportFormError(const FormError& error, MessageOrigin origin) {
    messageSink().show(kCaptionError, formErrorText(error, origin), MessageIcon::Exclamation);
}

void reportFormError(int category, int code, int item, MessageOrigin origin) {
    reportFormError(FormError{category, code, item}, origin);
}

} // namespace formdesc
