#include "runtime/cli/Commands.h"

#include "formdesc/AtomicFile.h"
#include "formdesc/FormMessages.h"
#include "formdesc/FormReader.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/FormWriter.h"
#include "formdesc/OutputFile.h"
#include "formdesc/SampleRecord.h"
#include "formdesc/TerminalText.h"
#include "runtime/cli/CommandParser.h"
#include "runtime/cli/FormJson.h"
#include "runtime/cli/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <memory>

namespace zrkcli {

using formdesc::FormModel;
using formdesc::ReaderVariant;

namespace {

// JSON escapes the C0 controls already; DEL and the C1 controls pass as
// they are and a terminal would obey them.
std::string escapeJsonControls(const std::string& json) {
    std::string text;
    text.reserve(json.size());
    for (std::size_t i = 0; i < json.size(); ++i) {
        const auto byte = static_cast<unsigned char>(json[i]);
        const auto next = i + 1 < json.size() ? static_cast<unsigned char>(json[i + 1]) : 0;
        if (byte == 0x7F) {
            text += "\\u007f";
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", next);
            text += escaped;
            ++i;
        } else {
            text.push_back(json[i]);
        }
    }
    return text;
}

} // namespace

int runCheck(const QStringList& arguments) {
    CommandParser command(QStringLiteral("check"),
                          QStringLiteral("Reads and checks a form file as the print job does.\n"
                                         "Exit status 0 when it passes; otherwise the message on standard "
                                         "error and 1."));
    command.addPositional(QStringLiteral("FORM"), QStringLiteral("The form file (.zrk)."));
    if (auto status = command.parse(arguments, 1))
        return *status;
    auto model = std::make_unique<FormModel>();
    return formdesc::readFormFile(command.path(0), *model, ReaderVariant::Print) ? 0 : 1;
}

int runInspect(const QStringList& arguments) {
    CommandParser command(QStringLiteral("inspect"),
                          QStringLiteral("Prints a form file as read, as JSON on standard output.\n"
                                         "When the check fails the model is still printed, the message goes "
                                         "to standard error and the exit status is 1."));
    command.addPositional(QStringLiteral("FORM"), QStringLiteral("The form file (.zrk)."));
    QCommandLineOption variantOption(QStringLiteral("variant"),
                                     QStringLiteral("Reader to use: designer (default), print or preview."),
                                     QStringLiteral("designer|print|preview"), QStringLiteral("designer"));
    command.parser().addOption(variantOption);
    if (auto status = command.parse(arguments, 1))
        return *status;
    const QString name = command.parser().value(variantOption);
    ReaderVariant variant;
    if (name == QLatin1String("designer"))
        variant = ReaderVariant::Designer;
    else if (name == QLatin1String("print"))
        variant = ReaderVariant::Print;
    else if (name == QLatin1String("preview"))
        variant = ReaderVariant::Preview;
    else {
        std::fprintf(stderr, "zrk inspect: unknown variant '%s' (designer, print or preview)\n",
                     qUtf8Printable(name));
        return kExitUsage;
    }
    auto model = std::make_unique<FormModel>();
    const bool passed = formdesc::readFormFile(command.path(0), *model, variant);
    const std::string json = escapeJsonControls(formModelToJson(*model).dump(2)) + "\n";
    writeStandardOutput(json);
    return passed ? 0 : 1;
}

int runFormat(const QStringList& arguments) {
    CommandParser command(QStringLiteral("format"),
                          QStringLiteral("Reads a form file as the designer does and writes it out again in "
                                         "the designer's layout (a normaliser for hand-written forms)."));
    command.addPositional(QStringLiteral("FORM"), QStringLiteral("The form file to read."));
    command.addPositional(QStringLiteral("OUT"),
                          QStringLiteral("The form file to write (replaced whole, keeping its owner and "
                                         "mode, or rewritten in place when a new file could not keep "
                                         "them; a device or FIFO is written directly)."));
    if (auto status = command.parse(arguments, 2))
        return *status;
    auto model = std::make_unique<FormModel>();
    if (!formdesc::readFormFile(command.path(0), *model, ReaderVariant::Designer))
        return 1;
    // As the designer saves: the text must read back to the form it was
    // written from, and the file is written as the designer writes it, with
    // the system's words for the failure.
    const std::string text = formdesc::formatFormFile(*model, formdesc::creationDate());
    if (const auto changed = formdesc::firstChangedItem(*model, text)) {
        formdesc::reportFormError(*changed, formdesc::MessageOrigin::Designer);
        return 1;
    }
    const std::string out = command.path(1);
    if (formdesc::writeFileAtomically(out, text))
        return 0;
    const int error = errno;
    formdesc::reportFormError(formdesc::kErrorOther, 2, 0, formdesc::MessageOrigin::Designer);
    std::fprintf(stderr, "zrk format: %s: %s\n", formdesc::escapeControls(out).c_str(),
                 formdesc::systemErrorText(error).c_str());
    return 1;
}

int runTemplate(const QStringList& arguments) {
    CommandParser command(QStringLiteral("template"),
                          QStringLiteral("Prints what a form filled by name expects: a CSV header of its "
                                         "tags in slot order with one example record, or with --json one "
                                         "document (an array for a slot of several lines). The designer's "
                                         "サンプルデータ... writes the same CSV."));
    command.addPositional(QStringLiteral("FORM"), QStringLiteral("The form file (.zrk)."));
    QCommandLineOption jsonOption(QStringLiteral("json"), QStringLiteral("Print a JSON document instead."));
    command.parser().addOption(jsonOption);
    if (auto status = command.parse(arguments, 1))
        return *status;
    auto model = std::make_unique<FormModel>();
    if (!formdesc::readFormFile(command.path(0), *model, ReaderVariant::Print))
        return 1;
    const std::vector<formdesc::SampleSlot> record = formdesc::sampleRecord(*model);
    if (record.empty()) {
        std::fprintf(stderr, "zrk template: %s: %s\n", formdesc::escapeControls(command.path(0)).c_str(),
                     std::string(formdesc::kNoSlotsText).c_str());
        return 1;
    }
    if (!command.parser().isSet(jsonOption)) {
        writeStandardOutput(formdesc::sampleCsv(*model));
        return 0;
    }
    auto value = [](const formdesc::SampleSlot& slot, const std::string& text) {
        // A number only when it reads back as the same digits.
        if (slot.numeric && !text.empty() && text.size() < 16 &&
            text.find_first_not_of("0123456789") == std::string::npos)
            return nlohmann::ordered_json(std::stoll(text));
        return nlohmann::ordered_json(text);
    };
    nlohmann::ordered_json document = nlohmann::ordered_json::object();
    for (const formdesc::SampleSlot& slot : record) {
        if (slot.values.size() == 1) {
            document[slot.name] = value(slot, slot.values.front());
            continue;
        }
        nlohmann::ordered_json lines = nlohmann::ordered_json::array();
        for (const std::string& text : slot.values)
            lines.push_back(value(slot, text));
        document[slot.name] = std::move(lines);
    }
    nlohmann::ordered_json documents = nlohmann::ordered_json::array();
    documents.push_back(std::move(document));
    writeStandardOutput(escapeJsonControls(documents.dump(2)) + "\n");
    return 0;
}

} // namespace zrkcli
