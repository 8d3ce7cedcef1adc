#include "runtime/cli/CommandParser.h"

#include "formdesc/ShiftJis.h"
#include "runtime/cli/Commands.h"
#include "runtime/cli/StandardOutput.h"

#include <QFile>

#include <cstdio>

namespace zrkcli {

CommandParser::CommandParser(const QString& command, const QString& description) : m_command(command) {
    m_parser.setApplicationDescription(description);
    m_parser.addHelpOption();
    m_parser.addPositionalArgument(command, QString(), command);
}

void CommandParser::addPositional(const QString& name, const QString& description) {
    m_parser.addPositionalArgument(name, description);
}

QString CommandParser::helpText() const {
    QString text = m_parser.helpText();
    text.replace(QLatin1String("<executable_name>"), QLatin1String("zrk"));
    return text;
}

int CommandParser::usageError(const QString& message) {
    std::fprintf(stderr, "zrk %s: %s\n%s", qUtf8Printable(m_command), qUtf8Printable(message),
                 qUtf8Printable(helpText()));
    return kExitUsage;
}

std::optional<int> CommandParser::parse(const QStringList& arguments, int positionalCount) {
    QStringList withProgram = arguments;
    withProgram.prepend(QStringLiteral("zrk"));
    if (!m_parser.parse(withProgram))
        return usageError(m_parser.errorText());
    if (m_parser.isSet(QStringLiteral("help"))) {
        writeStandardOutput(helpText().toStdString());
        return 0;
    }
    // The first positional argument is the command itself.
    if (m_parser.positionalArguments().size() != positionalCount + 1)
        return usageError(QStringLiteral("wrong number of arguments"));
    return std::nullopt;
}

std::string CommandParser::path(int index) const {
    return QFile::encodeName(m_parser.positionalArguments().at(index + 1)).toStdString();
}

ControlStatement::ControlStatement(const QCommandLineParser& parser, const QCommandLineOption& option)
    : m_given(parser.isSet(option)), m_sjis(formdesc::sjis::fromUtf8(parser.value(option).toStdString())) {}

} // namespace zrkcli
