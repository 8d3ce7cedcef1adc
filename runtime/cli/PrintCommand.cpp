#include "Commands.h"

#include "ApplicationGuard.h"
#include "CommandParser.h"
#include "FilePageTargets.h"
#include "PPModule.h"
#include "ShiftJis.h"

#include <QFile>

#include <cstdio>
#include <optional>

namespace zrkcli {

namespace {

constexpr int kMinDpi = 10;
constexpr int kMaxDpi = 2400;

std::optional<int> paperCode(const QString& name) {
    static const struct {
        const char* name;
        int code;
    } kPapers[] = {{"A3", formdesc::kPaperA3}, {"A4", formdesc::kPaperA4}, {"B4", formdesc::kPaperB4},
                   {"A5", formdesc::kPaperA5}, {"B5", formdesc::kPaperB5}};
    for (const auto& paper : kPapers)
        if (name.compare(QLatin1String(paper.name), Qt::CaseInsensitive) == 0)
            return paper.code;
    return std::nullopt;
}

struct FileOutput {
    bool pdf = true;
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

} // namespace

int runPrint(const QStringList& arguments) {
    CommandParser command(
        QStringLiteral("print"),
        QStringLiteral("Renders every page of a form filled from a data file, as one PDF document or one PNG\n"
                       "image per page. The device origin lies 5 mm in from the paper's corner, where a\n"
                       "printer's printable area would begin. Works without a display.\n"
                       "Exit status: the print job's result as an unsigned byte: 0 done, 255 the form\n"
                       "failed (-1), 254 the data file cannot be opened or is empty (-2), 245 the output\n"
                       "cannot be written (-11); 2 for usage errors."));
    command.addPositional(QStringLiteral("FORM"), QStringLiteral("The form file (.zrk)."));
    command.addPositional(QStringLiteral("DATA"), QStringLiteral("The data file (.dat)."));
    QCommandLineOption pdfOption(QStringLiteral("pdf"), QStringLiteral("Write one PDF document."),
                                 QStringLiteral("OUT"));
    QCommandLineOption pngOption(QStringLiteral("png"),
                                 QStringLiteral("Write one PNG per page; PATTERN holds one %d-style page number, "
                                                "e.g. page-%03d.png."),
                                 QStringLiteral("PATTERN"));
    QCommandLineOption dpiOption(QStringLiteral("dpi"),
                                 QStringLiteral("Device resolution (default 600 for PDF, 150 for PNG)."),
                                 QStringLiteral("N"));
    QCommandLineOption paperOption(QStringLiteral("paper"),
                                   QStringLiteral("Paper size A3, A4, B4, A5 or B5 (default: the form's own); "
                                                  "turned to the form's direction, the form scaled onto it."),
                                   QStringLiteral("SIZE"));
    QCommandLineOption controlOption(QStringLiteral("control"),
                                     QStringLiteral("Control statement, e.g. \"CONTROL LASTROW=40;\"."),
                                     QStringLiteral("TEXT"));
    for (const auto* option : {&pdfOption, &pngOption, &dpiOption, &paperOption, &controlOption})
        command.parser().addOption(*option);
    if (auto status = command.parse(arguments, 2))
        return *status;
    QCommandLineParser& parser = command.parser();

    FileOutput output;
    if (parser.isSet(pdfOption) == parser.isSet(pngOption)) {
        std::fputs("zrk print: give exactly one of --pdf OUT and --png PATTERN\n", stderr);
        return kExitUsage;
    }
    output.pdf = parser.isSet(pdfOption);
    output.path = QFile::encodeName(parser.value(output.pdf ? pdfOption : pngOption)).toStdString();
    output.dpi = output.pdf ? 600 : 150;
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
    if (!output.pdf && !platform::PngPageTarget::isValidPagePattern(output.path)) {
        std::fputs("zrk print: --png PATTERN needs exactly one page number such as %d or %03d\n", stderr);
        return kExitUsage;
    }
    const std::string control = formdesc::sjis::fromUtf8(parser.value(controlOption).toStdString());

    platform::ApplicationGuard application;
    runtime::PPModule job(command.path(0), command.path(1), parser.isSet(controlOption) ? control.c_str() : nullptr);
    const int result = job.run([&](const formdesc::FormInfo& form, const formdesc::PageSizeTenths& pageSize,
                                   const runtime::ControlOptions&) {
        const platform::PaperTenths paper = paperFor(output, form, pageSize);
        runtime::ChosenTarget chosen;
        if (output.pdf)
            chosen.target = std::make_unique<platform::PdfPageTarget>(output.path, paper, output.dpi);
        else
            chosen.target = std::make_unique<platform::PngPageTarget>(output.path, paper, output.dpi);
        return chosen;
    });
    if (!job.outputError().empty())
        std::fprintf(stderr, "zrk print: %s\n", job.outputError().c_str());
    return static_cast<unsigned char>(result);
}

} // namespace zrkcli
