#include "runtime/cli/CallerOptionValues.h"

#include <QRegularExpression>

namespace zrkcli {

std::optional<runtime::DataEncoding> dataEncodingOption(const QString& value) {
    return runtime::parseDataEncoding(value.trimmed().toUpper().toStdString());
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

} // namespace zrkcli
