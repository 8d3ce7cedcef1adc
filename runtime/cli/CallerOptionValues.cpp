#include "runtime/cli/CallerOptionValues.h"

#include <QRegularExpression>

#include <climits>

#include <filesystem>
#include <fstream>

namespace zrkcli {

std::optional<runtime::DataEncoding> dataEncodingOption(const QString& value) {
    return runtime::parseDataEncoding(value.trimmed().toUpper().toStdString());
}

std::optional<runtime::DataFormat> dataFormatOption(const QString& value) {
    return runtime::parseDataFormat(value.trimmed().toUpper().toStdString());
}

std::optional<runtime::PageRange> pageRangeOption(const QString& value) {
    static const QRegularExpression kPattern(QStringLiteral("^([0-9]*)(-?)([0-9]*)$"));
    const QRegularExpressionMatch match = kPattern.match(value);
    const bool dash = !match.captured(2).isEmpty();
    // At least one end: "" and "-" name no page.
    if (!match.hasMatch() || (match.captured(1).isEmpty() && match.captured(3).isEmpty()))
        return std::nullopt;
    // An end left out is the job's first or last page; a number too large
    // for a page number does not read.
    auto end = [](const QString& digits, int missing) -> std::optional<int> {
        if (digits.isEmpty())
            return missing;
        bool ok = false;
        const int number = digits.toInt(&ok);
        return ok && number >= 1 ? std::optional<int>(number) : std::nullopt;
    };
    runtime::PageRange range;
    const auto first = end(match.captured(1), 1);
    const auto last = dash ? end(match.captured(3), INT_MAX) : first;
    if (!first || !last || *first > *last)
        return std::nullopt;
    range.first = *first;
    range.last = *last;
    return range;
}

std::optional<int> millimetreTenths(const QString& text) {
    // An optional sign, whole millimetres and at most one decimal.
    static const QRegularExpression kPattern(QStringLiteral("^\\s*([+-]?)([0-9]{1,3})(?:\\.([0-9]))?\\s*$"));
    const QRegularExpressionMatch match = kPattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int tenths =
        match.captured(2).toInt() * 10 + (match.captured(3).isEmpty() ? 0 : match.captured(3).toInt());
    if (tenths > runtime::kMaxOffsetTenths)
        return std::nullopt;
    return match.captured(1) == QLatin1String("-") ? -tenths : tenths;
}

std::string notShiftJisWarning(const std::string& dataPath) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(dataPath, error))
        return {};
    std::ifstream in(dataPath, std::ios::binary);
    std::string sample(runtime::kEncodingSampleBytes + 1, '\0');
    in.read(sample.data(), std::streamsize(sample.size()));
    sample.resize(std::size_t(in.gcount()));
    const bool goesOn = sample.size() > runtime::kEncodingSampleBytes;
    if (goesOn)
        sample.resize(runtime::kEncodingSampleBytes);
    if (!runtime::looksMisreadAsShiftJis(sample, goesOn))
        return {};
    return "警告: 帳票データ - Shift-JIS のデータではないようです。UTF-8 で書かれているなら "
           "--data-encoding utf-8 を指定してください";
}

} // namespace zrkcli
