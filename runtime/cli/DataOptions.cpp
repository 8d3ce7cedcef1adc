#include "runtime/cli/DataOptions.h"

#include "formdesc/ShiftJis.h"
#include "runtime/cli/CallerOptionValues.h"

#include <QCommandLineParser>

#include <cstdio>

namespace zrkcli {

DataOptions::DataOptions()
    : m_encoding(QStringLiteral("data-encoding"),
                 QStringLiteral("How the data is written: auto (the default: UTF-8 when a byte-order mark\n"
                                "or valid UTF-8 opens the data, else Shift-JIS), sjis or utf-8."),
                 QStringLiteral("ENC")),
      m_format(QStringLiteral("data-format"),
               QStringLiteral("What the data holds: lines (the default: the pages' character image),\n"
                              "csv (a header of tags, then records) or json (an array of documents\n"
                              "whose names are tags). Records are UTF-8 unless --data-encoding says."),
               QStringLiteral("FORMAT")),
      m_groupBy(QStringLiteral("group-by"),
                QStringLiteral("CSV: consecutive records with the same value of NAME make one document."),
                QStringLiteral("NAME")) {}

void DataOptions::addTo(QCommandLineParser& parser) const {
    parser.addOption(m_encoding);
    parser.addOption(m_format);
    parser.addOption(m_groupBy);
}

bool DataOptions::apply(const QCommandLineParser& parser, const char* command,
                        runtime::CallerOptions& caller) const {
    caller.defaultEncoding = runtime::DataEncoding::Auto;
    if (parser.isSet(m_encoding)) {
        caller.encoding = dataEncodingOption(parser.value(m_encoding));
        if (!caller.encoding) {
            std::fprintf(stderr, "zrk %s: --data-encoding takes sjis, utf-8 or auto\n", command);
            return false;
        }
    }
    if (parser.isSet(m_format)) {
        caller.dataFormat = dataFormatOption(parser.value(m_format));
        if (!caller.dataFormat) {
            std::fprintf(stderr, "zrk %s: --data-format takes lines, csv or json\n", command);
            return false;
        }
    }
    if (parser.isSet(m_groupBy)) {
        if (caller.dataFormat != runtime::DataFormat::Csv) {
            std::fprintf(stderr, "zrk %s: --group-by applies to --data-format csv\n", command);
            return false;
        }
        caller.groupBy = formdesc::sjis::fromUtf8(parser.value(m_groupBy).toStdString());
    }
    return true;
}

} // namespace zrkcli
