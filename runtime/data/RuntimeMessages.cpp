#include "runtime/data/RuntimeMessages.h"

#include "formdesc/FormMessages.h"
#include "formdesc/MessageSink.h"
#include "formdesc/OutputFile.h"

namespace runtime {

void reportRuntimeError(int code) {
    formdesc::reportFormError(formdesc::kErrorOther, code, 0, formdesc::MessageOrigin::Library);
}

std::string dataFileErrorText(int systemError) {
    std::string text = formdesc::formErrorText(
        formdesc::FormError{formdesc::kErrorOther, kMessageDataFile, 0}, formdesc::MessageOrigin::Library);
    if (systemError != 0)
        text += "（" + formdesc::systemErrorText(systemError) + "）";
    return text;
}

void reportDataFileError(int systemError) {
    formdesc::messageSink().show(formdesc::kCaptionError, dataFileErrorText(systemError),
                                 formdesc::MessageIcon::Exclamation);
}

std::string controlErrorText(std::string_view key) {
    return "制御情報 - " + std::string(key) + "の指定に誤りがあります";
}

void reportControlError(std::string_view key) {
    formdesc::messageSink().show(formdesc::kCaptionError, controlErrorText(key),
                                 formdesc::MessageIcon::Exclamation);
}

std::string replacedCharactersText(std::uint64_t count, std::uint64_t firstLine) {
    return "帳票データ - 変換できない文字を「？」に置き換えました（" + std::to_string(count) +
           "文字、最初は" + std::to_string(firstLine) + "行目）";
}

void reportReplacedCharacters(std::uint64_t count, std::uint64_t firstLine) {
    formdesc::messageSink().show(formdesc::kCaptionWarning, replacedCharactersText(count, firstLine),
                                 formdesc::MessageIcon::Exclamation);
}

std::string noPagesInRangeText(int firstPage, int pageCount) {
    return "帳票データ - 指定のページがありません（" + std::to_string(firstPage) + "ページ目から、全" +
           std::to_string(pageCount) + "ページ）";
}

void reportNoPagesInRange(int firstPage, int pageCount) {
    formdesc::messageSink().show(formdesc::kCaptionError, noPagesInRangeText(firstPage, pageCount),
                                 formdesc::MessageIcon::Exclamation);
}

void reportNoMemory() noexcept {
    try {
        formdesc::messageSink().show(formdesc::kCaptionError, kNoMemoryText,
                                     formdesc::MessageIcon::Exclamation);
    } catch (...) {
    }
}

} // namespace runtime
