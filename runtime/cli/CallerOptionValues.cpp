#include "runtime/cli/CallerOptionValues.h"

#include <QRegularExpression>

#include <filesystem>
#include <fstream>

namespace zrkcli {

std::optional<runtime::DataEncoding> dataEncodingOption(const QString& value) {
    return runtime::parseDataEncoding(value.trimmed().toUpper().toStdString());
}

std::optional<runtime::DataFormat> dataFormatOption(const QString& value) {
    return runtime::parseDataFormat(value.trimmed().toUpper().toStdString());
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
