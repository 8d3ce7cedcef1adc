#include "Commands.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cstdio>

namespace {

constexpr const char* kUsage =
    "Usage: zrk <command> [options]\n"
    "\n"
    "The form runtime's command line.\n"
    "\n"
    "Commands:\n"
    "  check FORM             check a form file\n"
    "  inspect FORM           print a form file as read, as JSON\n"
    "  format FORM OUT        read a form file and write it in the designer's layout\n"
    "  print FORM DATA ...    render a form filled with data (PDF, PNG or a printer)\n"
    "  view FORM DATA         show a form filled with data in the preview window\n"
    "\n"
    "'zrk <command> --help' describes each command.\n";

// Qt's own diagnostics (fonts, platform plugins) are not for the users of a
// command line; ZRK_QT_DEBUG=1 shows them.
void quietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("ZRK_QT_DEBUG"))
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}

} // namespace

int main(int argc, char** argv) {
    qInstallMessageHandler(quietQtMessages);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (arguments.isEmpty()) {
        std::fputs(kUsage, stderr);
        return zrkcli::kExitUsage;
    }
    const QString command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == QLatin1String("check"))
        return zrkcli::runCheck(arguments);
    if (command == QLatin1String("inspect"))
        return zrkcli::runInspect(arguments);
    if (command == QLatin1String("format"))
        return zrkcli::runFormat(arguments);
    if (command == QLatin1String("print"))
        return zrkcli::runPrint(arguments);
    if (command == QLatin1String("view"))
        return zrkcli::runView(arguments);
    std::fprintf(stderr, "zrk: unknown command '%s'\n\n%s", qUtf8Printable(command), kUsage);
    return zrkcli::kExitUsage;
}
