#include "runtime/cli/Commands.h"

#include "formdesc/OutputFile.h"
#include "formdesc/TerminalText.h"
#include "platform/ApplicationGuard.h"
#include "platform/PdfDirectTarget.h"
#include "platform/PngPageTarget.h"
#include "platform/PrinterPageTarget.h"
#include "platform/QtMessageSink.h"
#include "runtime/cli/CallerOptionValues.h"
#include "runtime/cli/CommandParser.h"
#include "runtime/cli/DataOptions.h"
#include "runtime/cli/StandardOutput.h"
#include "runtime/cli/TerminalProgress.h"
#include "runtime/print/AbortProgress.h"
#include "runtime/print/PPModule.h"
#include "runtime/print/PrinterChooser.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <sched.h>
#include <unistd.h>

namespace zrkcli {

namespace {

constexpr int kMinDpi = 10;
constexpr int kMaxDpi = 2400;
constexpr int kMaxJobs = 64;

// The processors the process may run on (its affinity mask), at most kMaxJobs.
int usableProcessors() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    return std::clamp(CPU_COUNT(&set), 1, kMaxJobs);
}

std::optional<int> paperCode(const QString& name) {
    static const struct {
        const char* name;
        int code;
    } kPapers[] = {{"A3", formdesc::kPaperA3},
                   {"A4", formdesc::kPaperA4},
                   {"B4", formdesc::kPaperB4},
                   {"A5", formdesc::kPaperA5},
                   {"B5", formdesc::kPaperB5}};
    for (const auto& paper : kPapers)
        if (name.compare(QLatin1String(paper.name), Qt::CaseInsensitive) == 0)
            return paper.code;
    return std::nullopt;
}

enum class OutputKind { Pdf, Png, Printer };

struct FileOutput {
    OutputKind kind = OutputKind::Printer;
    std::string path;
    int dpi = 600;
    std::optional<int> paper; // nothing: the form's own size
};

// The paper of the output, turned to the form's direction.
platform::PaperTenths paperFor(const FileOutput& output, const formdesc::FormInfo& form,
                               const formdesc::PageSizeTenths& pageSize) {
    if (!output.paper)
        return {pageSize.width, pageSize.height};
    int width = 0;
    int height = 0;
    formdesc::pageSizeTenths(*output.paper, form.direction, width, height);
    return {width, height};
}

// The input (the form or the data file) that the output would write over:
// the same device and inode, whatever the spelling or link. Nothing when the
// output is no input.
const char* inputUnderOutput(const FileOutput& output, const std::string& form, const std::string& data) {
    std::vector<std::string> targets{output.path};
    if (output.kind == OutputKind::Png)
        targets = platform::PngPageTarget(output.path, {}, output.dpi).existingPagePaths();
    const auto formFile = formdesc::fileIdentity(form);
    const auto dataFile = formdesc::fileIdentity(data);
    for (const std::string& target : targets) {
        const auto file = formdesc::fileIdentity(target);
        if (file && file == formFile)
            return "form file";
        if (file && file == dataFile)
            return "data file";
    }
    return nullptr;
}

// "-" names standard output as the PDF's destination.
const char* const kStandardOutputPath = "/dev/stdout";

} // namespace

int runPrint(const QStringList& arguments) {
    CommandParser command(
        QStringLiteral("print"),
        QStringLiteral(
            "Renders every page of a form filled from a data file: on a printer (a CUPS queue), as\n"
            "one PDF document, or as one PNG image per page. For files the device origin lies 5 mm\n"
            "in from the paper's corner, where a printer's printable area would begin; printers\n"
            "keep their own paper, turned to the form's direction, with the origin at the corner\n"
            "of their printable area.\n"
            "Without --printer, --pdf or --png the job prints on a printer: the default queue when\n"
            "the control statement says PRINTER=Default, otherwise the one chosen in the print\n"
            "dialog. Without a display no dialog can be shown: the default queue is used, and\n"
            "when there is none the job fails with -3. A printer job that CUPS accepted is noted\n"
            "on standard output (\"request id is QUEUE-ID (N bytes)\").\n"
            "Exit status: the print job's result as an unsigned byte: 0 done (also when stopped\n"
            "from the abort dialog), 1 the print dialog was cancelled, 255 the form failed (-1),\n"
            "254 the data file cannot be opened or is empty (-2), 253 no printer (-3), 245 the\n"
            "output cannot be written or the print system refused the job (-11), with the print\n"
            "system's words on standard error; 2 for usage errors, among them an output that\n"
            "names the form or the data file.\n"
            "OUT may be a device, a FIFO or /dev/stdout: these are written directly; a regular\n"
            "file is replaced only when the document is complete and keeps its owner and mode.\n"
            "DATA \"-\" reads the data from standard input and --pdf - writes the PDF to standard\n"
            "output, so the command can stand in a pipeline. When standard error is a terminal,\n"
            "the pages done, the pages a second and the time left are shown there."));
    command.addPositional(QStringLiteral("FORM"), QStringLiteral("The form file (.zrk)."));
    command.addPositional(QStringLiteral("DATA"),
                          QStringLiteral("The data file (.dat); - for standard input."));
    QCommandLineOption pdfOption(QStringLiteral("pdf"),
                                 QStringLiteral("Write one PDF document; - for standard output."),
                                 QStringLiteral("OUT"));
    QCommandLineOption pngOption(
        QStringLiteral("png"),
        QStringLiteral("Write one PNG per page; PATTERN holds one %d-style page number, "
                       "e.g. page-%03d.png."),
        QStringLiteral("PATTERN"));
    QCommandLineOption dpiOption(QStringLiteral("dpi"),
                                 QStringLiteral("Device resolution (default 600 for PDF, 150 for PNG)."),
                                 QStringLiteral("N"));
    QCommandLineOption paperOption(
        QStringLiteral("paper"),
        QStringLiteral("Paper size A3, A4, B4, A5 or B5 (default: the form's own); "
                       "turned to the form's direction, the form scaled onto it."),
        QStringLiteral("SIZE"));
    QCommandLineOption controlOption(QStringLiteral("control"),
                                     QStringLiteral("Control statement, e.g. \"CONTROL LASTROW=40;\"."),
                                     QStringLiteral("TEXT"));
    QCommandLineOption printerOption(QStringLiteral("printer"),
                                     QStringLiteral("Print on this CUPS queue, without a dialog."),
                                     QStringLiteral("NAME"));
    const DataOptions dataOptions;
    QCommandLineOption offsetOption(
        QStringLiteral("offset"),
        QStringLiteral("Move everything printed by X mm right and Y mm down (one decimal, "
                       "negative allowed, at most 50.0 each way), e.g. 1.5,-0.5."),
        QStringLiteral("X,Y"));
    QCommandLineOption pagesOption(
        QStringLiteral("pages"),
        QStringLiteral("Print only these pages of the job, numbered from 1: FROM-TO, FROM-, -TO or N.\n"
                       "They print as in the whole job: PNG files and progress keep the job's page\n"
                       "numbers and LASTROW applies on the job's last page. A part beyond the last\n"
                       "page prints nothing and fails with 254; 'zrk pages' counts the pages."),
        QStringLiteral("RANGE"));
    QCommandLineOption jobsOption(
        QStringLiteral("jobs"),
        QStringLiteral("Draw the pages of a PDF or PNG file on N threads, 1 to 64 (default: the "
                       "processors this process may use). The file is the same whatever N."),
        QStringLiteral("N"));
    QCommandLineOption quietOption(QStringLiteral("quiet"),
                                   QStringLiteral("Show no progress on the terminal."));
    for (const auto* option :
         {&printerOption, &pdfOption, &pngOption, &dpiOption, &paperOption, &controlOption})
        command.parser().addOption(*option);
    dataOptions.addTo(command.parser());
    for (const auto* option : {&offsetOption, &pagesOption, &jobsOption, &quietOption})
        command.parser().addOption(*option);
    if (auto status = command.parse(arguments, 2))
        return *status;
    QCommandLineParser& parser = command.parser();

    FileOutput output;
    if (int(parser.isSet(pdfOption)) + int(parser.isSet(pngOption)) + int(parser.isSet(printerOption)) > 1) {
        std::fputs("zrk print: give at most one of --printer NAME, --pdf OUT and --png PATTERN\n", stderr);
        return kExitUsage;
    }
    if (parser.isSet(pdfOption))
        output.kind = OutputKind::Pdf;
    else if (parser.isSet(pngOption))
        output.kind = OutputKind::Png;
    const bool toFile = output.kind != OutputKind::Printer;
    if (!toFile && (parser.isSet(dpiOption) || parser.isSet(paperOption))) {
        std::fputs("zrk print: --dpi and --paper apply to files; a printer keeps its own\n", stderr);
        return kExitUsage;
    }
    if (!toFile && parser.isSet(jobsOption)) {
        std::fputs("zrk print: --jobs applies to --pdf and --png; a printer takes its pages in turn\n",
                   stderr);
        return kExitUsage;
    }
    if (toFile)
        output.path = QFile::encodeName(parser.value(output.kind == OutputKind::Pdf ? pdfOption : pngOption))
                          .toStdString();
    if (output.kind == OutputKind::Pdf && output.path == "-") {
        if (::isatty(STDOUT_FILENO)) {
            std::fputs("zrk print: --pdf - writes to standard output, which is a terminal\n", stderr);
            return kExitUsage;
        }
        output.path = kStandardOutputPath;
    }
    runtime::CallerOptions caller;
    caller.dataFromStandardInput = command.path(1) == "-";
    if (!dataOptions.apply(parser, "print", caller))
        return kExitUsage;
    if (parser.isSet(offsetOption)) {
        const QStringList parts = parser.value(offsetOption).split(QLatin1Char(','));
        const auto x = parts.size() == 2 ? millimetreTenths(parts[0]) : std::nullopt;
        const auto y = parts.size() == 2 ? millimetreTenths(parts[1]) : std::nullopt;
        if (!x || !y) {
            std::fputs("zrk print: --offset takes X,Y in millimetres with at most one decimal, each "
                       "from -50.0 to 50.0\n",
                       stderr);
            return kExitUsage;
        }
        caller.xOffset = *x;
        caller.yOffset = *y;
    }
    if (parser.isSet(pagesOption)) {
        caller.pages = pageRangeOption(parser.value(pagesOption));
        if (!caller.pages) {
            std::fprintf(
                stderr,
                "zrk print: --pages のページ範囲に誤りがあります: '%s'（FROM-TO、FROM-、-TO または N。"
                "ページ番号は 1 から、FROM は TO 以下）\n",
                formdesc::escapeControls(parser.value(pagesOption).toStdString()).c_str());
            return kExitUsage;
        }
    }
    caller.threads = toFile ? usableProcessors() : 1;
    if (parser.isSet(jobsOption)) {
        bool ok = false;
        caller.threads = parser.value(jobsOption).toInt(&ok);
        if (!ok || caller.threads < 1 || caller.threads > kMaxJobs) {
            std::fprintf(stderr, "zrk print: --jobs takes a whole number from 1 to %d\n", kMaxJobs);
            return kExitUsage;
        }
    }
    output.dpi = output.kind == OutputKind::Pdf ? 600 : 150;
    if (parser.isSet(dpiOption)) {
        bool ok = false;
        output.dpi = parser.value(dpiOption).toInt(&ok);
        if (!ok || output.dpi < kMinDpi || output.dpi > kMaxDpi) {
            std::fprintf(stderr, "zrk print: --dpi takes a whole number from %d to %d\n", kMinDpi, kMaxDpi);
            return kExitUsage;
        }
    }
    if (parser.isSet(paperOption)) {
        output.paper = paperCode(parser.value(paperOption));
        if (!output.paper) {
            std::fputs("zrk print: --paper takes A3, A4, B4, A5 or B5\n", stderr);
            return kExitUsage;
        }
    }
    if (output.kind == OutputKind::Png && !platform::PngPageTarget::isValidPagePattern(output.path)) {
        std::fputs("zrk print: --png PATTERN needs exactly one page number such as %d or %03d\n", stderr);
        return kExitUsage;
    }
    if (toFile) {
        if (const char* input = inputUnderOutput(
                output, command.path(0), caller.dataFromStandardInput ? std::string() : command.path(1))) {
            std::fprintf(
                stderr, "zrk print: the output would write over the %s; an input is never replaced\n", input);
            return kExitUsage;
        }
    }
    const ControlStatement control(parser, controlOption);

    platform::ApplicationGuard application;
    runtime::PPModule job(command.path(0), command.path(1), control.text());
    job.setCallerOptions(caller);
    if (job.options().encoding == runtime::DataEncoding::ShiftJis && job.options().refusedKey.empty() &&
        !caller.dataFromStandardInput)
        if (const std::string warning = notShiftJisWarning(command.path(1)); !warning.empty())
            std::fprintf(stderr, "%s\n", warning.c_str());
    std::unique_ptr<runtime::AbortProgress> abortProgress;
    if (job.options().cancel)
        abortProgress = std::make_unique<runtime::AbortProgress>();
    runtime::PrintProgress* progress = abortProgress.get();
    std::unique_ptr<TerminalProgress> terminalProgress;
    if (!parser.isSet(quietOption) && ::isatty(STDERR_FILENO)) {
        terminalProgress = std::make_unique<TerminalProgress>(job, progress);
        progress = terminalProgress.get();
    }
    // A private copy of the data (standard input, UTF-8) and the output's
    // temporary file go also when a signal ends the command.
    runtime::DataSpool::removeOnSignals();

    platform::SpoolReceipt receipt;
    runtime::TargetChooser chooser;
    if (toFile) {
        chooser = [&](const formdesc::FormInfo& form, const formdesc::PageSizeTenths& pageSize,
                      const runtime::ControlOptions&) {
            const platform::PaperTenths paper = paperFor(output, form, pageSize);
            runtime::ChosenTarget chosen;
            if (output.kind == OutputKind::Pdf)
                chosen.target = std::make_unique<platform::PdfDirectTarget>(output.path, paper, output.dpi);
            else
                chosen.target = std::make_unique<platform::PngPageTarget>(
                    output.path, paper, output.dpi, caller.pages ? caller.pages->first : 1);
            return chosen;
        };
    } else {
        runtime::PrinterRoad road;
        road.queue = parser.value(printerOption).toStdString();
        road.dialogAllowed = platform::QtMessageSink::canShowWindows();
        road.receipt = &receipt;
        chooser = runtime::printerChooser(road);
    }
    std::optional<formdesc::ScopedMessageSink> messagesBesideProgress;
    if (terminalProgress)
        messagesBesideProgress.emplace(*terminalProgress);
    const int result = job.run(chooser, progress);
    messagesBesideProgress.reset();
    if (!job.outputError().empty())
        std::fprintf(stderr, "zrk print: %s\n", formdesc::escapeControls(job.outputError()).c_str());
    if (receipt.jobId != 0)
        writeStandardOutput("request id is " + receipt.queue + "-" + std::to_string(receipt.jobId) + " (" +
                            std::to_string(receipt.bytes) + " bytes)\n");
    return static_cast<unsigned char>(result);
}

} // namespace zrkcli
