#include "runtime/cli/Commands.h"

#include "runtime/cli/CallerOptionValues.h"
#include "runtime/cli/CommandParser.h"
#include "runtime/cli/DataOptions.h"
#include "runtime/data/RuntimeMessages.h"
#include "runtime/preview/PreviewJob.h"

#include <cstdio>
#include <new>

namespace zrkcli {

int runView(const QStringList& arguments) {
    CommandParser command(
        QStringLiteral("view"),
        QStringLiteral("Shows a form filled from a data file in the preview window, page by page, and\n"
                       "returns when the window is closed. The preview needs a display that answers\n"
                       "(DISPLAY or WAYLAND_DISPLAY); without one it says so and exits with 253.\n"
                       "Exit status: the preview's result as an unsigned byte: 0 shown and closed,\n"
                       "255 the form failed (-1), 254 the data file cannot be opened, is empty or\n"
                       "cannot be read (-2), 253 no display or not enough memory (-3); 2 for usage\n"
                       "errors."));
    command.addPositional(QStringLiteral("FORM"), QStringLiteral("The form file (.zrk)."));
    command.addPositional(QStringLiteral("DATA"), QStringLiteral("The data file (.dat)."));
    QCommandLineOption controlOption(
        QStringLiteral("control"),
        QStringLiteral("Control statement, e.g. \"CONTROL SCALE=AUTO, PRINT=ON, LASTROW=40;\"."),
        QStringLiteral("TEXT"));
    const DataOptions dataOptions;
    command.parser().addOption(controlOption);
    dataOptions.addTo(command.parser());
    if (auto status = command.parse(arguments, 2))
        return *status;
    runtime::CallerOptions caller;
    if (!dataOptions.apply(command.parser(), "view", caller))
        return kExitUsage;

    const ControlStatement control(command.parser(), controlOption);
    runtime::ControlOptions options = runtime::parseControlOptions(control.text());
    runtime::applyCallerOptions(options, caller);
    if (options.encoding == runtime::DataEncoding::ShiftJis && options.refusedKey.empty())
        if (const std::string warning = notShiftJisWarning(command.path(1)); !warning.empty())
            std::fprintf(stderr, "%s\n", warning.c_str());
    int result = runtime::kViewNoDisplay;
    try {
        result = runtime::runPreviewJob(0, command.path(0).c_str(), command.path(1).c_str(), control.text(),
                                        caller);
    } catch (const std::bad_alloc&) {
        // Out of memory before the job's own message sink existed.
        std::fprintf(stderr, "zrk view: %s\n", runtime::kNoMemoryText);
    }
    return static_cast<unsigned char>(result);
}

} // namespace zrkcli
