#include "runtime/cli/Commands.h"

#include "formdesc/FormReader.h"
#include "runtime/cli/CallerOptionValues.h"
#include "runtime/cli/CommandParser.h"
#include "runtime/cli/DataOptions.h"
#include "runtime/cli/StandardOutput.h"
#include "runtime/data/DataPages.h"
#include "runtime/data/DataSpool.h"
#include "runtime/data/JobData.h"
#include "runtime/data/RuntimeMessages.h"
#include "runtime/print/PPModule.h"

#include <cstdio>
#include <memory>
#include <string>

namespace zrkcli {

namespace {

// The same exit status as print for the same failure.
int printStatus(runtime::PrintResult result) {
    return static_cast<unsigned char>(result);
}

} // namespace

int runPages(const QStringList& arguments) {
    CommandParser command(
        QStringLiteral("pages"),
        QStringLiteral("Prints the number of pages that 'zrk print' makes of the form and the data, as a\n"
                       "number and a newline on standard output. The data is read as print reads it (the\n"
                       "same data options and control statement give the same pages) and only the pages\n"
                       "are counted: nothing is drawn. With 'zrk print --pages' a large job is split into\n"
                       "parts that print apart.\n"
                       "Exit status as for print: 0 counted, 255 the form failed (-1), 254 the data file\n"
                       "cannot be opened, is empty or cannot be read (-2); 2 for usage errors."));
    command.addPositional(QStringLiteral("FORM"), QStringLiteral("The form file (.zrk)."));
    command.addPositional(QStringLiteral("DATA"),
                          QStringLiteral("The data file (.dat); - for standard input."));
    QCommandLineOption controlOption(
        QStringLiteral("control"),
        QStringLiteral("Control statement; its data options count (FORMAT, GROUPBY, ENCODING)."),
        QStringLiteral("TEXT"));
    const DataOptions dataOptions;
    command.parser().addOption(controlOption);
    dataOptions.addTo(command.parser());
    if (auto status = command.parse(arguments, 2))
        return *status;
    runtime::CallerOptions caller;
    caller.dataFromStandardInput = command.path(1) == "-";
    if (!dataOptions.apply(command.parser(), "pages", caller))
        return kExitUsage;

    const ControlStatement control(command.parser(), controlOption);
    runtime::ControlOptions options = runtime::parseControlOptions(control.text());
    runtime::applyCallerOptions(options, caller);
    if (!options.refusedKey.empty()) {
        runtime::reportControlError(options.refusedKey);
        return printStatus(runtime::kPrintFormFailed);
    }
    auto model = std::make_unique<formdesc::FormModel>();
    if (!formdesc::readFormFile(command.path(0), *model, formdesc::ReaderVariant::Print))
        return printStatus(runtime::kPrintFormFailed);
    if (options.encoding == runtime::DataEncoding::ShiftJis && !caller.dataFromStandardInput)
        if (const std::string warning = notShiftJisWarning(command.path(1)); !warning.empty())
            std::fprintf(stderr, "%s\n", warning.c_str());

    runtime::DataSpool::removeOnSignals();
    runtime::DataSpool data;
    if (!runtime::prepareJobData(data, command.path(1), caller.dataFromStandardInput, options, *model))
        return printStatus(runtime::kPrintDataFailed);
    // The count print makes before it draws, the same way: from the spool
    // when the records were converted, else from the lines.
    runtime::FilePosition firstPage = 0;
    const auto pages = runtime::countJobPages(data, model->form.rows, 1, firstPage);
    if (data.replacements() > 0)
        runtime::reportReplacedCharacters(data.replacements(), data.firstReplacedLine());
    data.remove();
    if (!pages) {
        runtime::reportRuntimeError(runtime::kMessageDataFile);
        return printStatus(runtime::kPrintDataFailed);
    }
    writeStandardOutput(std::to_string(*pages) + "\n");
    return 0;
}

} // namespace zrkcli
