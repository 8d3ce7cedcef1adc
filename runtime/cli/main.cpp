#include "Version.h"
#include "formdesc/OutputFile.h"
#include "formdesc/TerminalText.h"
#include "runtime/cli/Commands.h"
#include "runtime/cli/StandardOutput.h"
#include "runtime/data/RuntimeMessages.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <new>
#include <unistd.h>

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
    "  template FORM          print a CSV header and example record for the form (--json)\n"
    "  print FORM DATA ...    render a form filled with data (PDF, PNG or a printer)\n"
    "  pages FORM DATA ...    print the number of pages of a job (for print --pages)\n"
    "  view FORM DATA         show a form filled with data in the preview window\n"
    "\n"
    "'zrk <command> --help' describes each command; 'zrk --version' prints the version.\n";

// Qt's own diagnostics (fonts, platform plugins) are not for the users of a
// command line; ZRK_QT_DEBUG=1 shows them.
void quietQtMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg || qEnvironmentVariableIsSet("ZRK_QT_DEBUG"))
        std::fprintf(stderr, "%s\n", qUtf8Printable(qFormatLogMessage(type, context, message)));
}

// A closed standard stream would be taken by the next file the program opens
// and the lines meant for it would land in that file. Each closed one is held
// by /dev/null opened for reading, so that writing to it still fails.
void holdClosedStandardStreams() {
    for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
        if (fcntl(fd, F_GETFD) >= 0 || errno != EBADF)
            continue;
        const int held = open("/dev/null", O_RDONLY | O_NOCTTY); // the lowest free number: fd
        if (held >= 0 && held != fd)
            close(held);
    }
}

int runCommand(const QStringList& arguments) {
    if (arguments.isEmpty()) {
        std::fputs(kUsage, stderr);
        return zrkcli::kExitUsage;
    }
    const QString command = arguments.first();
    if (command == QLatin1String("--help") || command == QLatin1String("-h") ||
        command == QLatin1String("help")) {
        zrkcli::writeStandardOutput(kUsage);
        return 0;
    }
    if (command == QLatin1String("--version")) {
        zrkcli::writeStandardOutput(std::string("zrk ") + zrkversion::kVersion + "\n");
        return 0;
    }
    if (command == QLatin1String("check"))
        return zrkcli::runCheck(arguments);
    if (command == QLatin1String("inspect"))
        return zrkcli::runInspect(arguments);
    if (command == QLatin1String("format"))
        return zrkcli::runFormat(arguments);
    if (command == QLatin1String("template"))
        return zrkcli::runTemplate(arguments);
    if (command == QLatin1String("print"))
        return zrkcli::runPrint(arguments);
    if (command == QLatin1String("pages"))
        return zrkcli::runPages(arguments);
    if (command == QLatin1String("view"))
        return zrkcli::runView(arguments);
    std::fprintf(stderr, "zrk: unknown command '%s'\n\n%s",
                 formdesc::escapeControls(command.toStdString()).c_str(), kUsage);
    return zrkcli::kExitUsage;
}

} // namespace

int main(int argc, char** argv) {
    holdClosedStandardStreams();
    qInstallMessageHandler(quietQtMessages);
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const bool printing = !arguments.isEmpty() && arguments.first() == QLatin1String("print");
    int status = 0;
    try {
        status = runCommand(arguments);
    } catch (const std::bad_alloc&) {
        // Memory ran out outside a job (the jobs report it themselves): the
        // same message and the job's result for it, never an abort.
        std::fprintf(stderr, "エラー: %s\n", runtime::kNoMemoryText);
        status = printing ? 245 : 1;
    }
    // Output that did not reach standard output fails the command, whatever
    // the command made of it.
    const int error = zrkcli::closeStandardOutput();
    if (error == 0)
        return status;
    std::fprintf(stderr, "zrk: standard output: %s\n", formdesc::systemErrorText(error).c_str());
    // For a print job, output that cannot be written is its -11 (245).
    return status != 0 ? status : printing ? 245 : 1;
}
