#include "editor/papers/SheetCommand.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>
#include <QPrinter>

#include <cstdio>
#include <cstring>
#include <memory>

#include <unistd.h>

#include "editor/papers/DesignSheetDialog.h"
#include "editor/papers/SheetOutput.h"
#include "editor/papers/SheetPrinterAccess.h"
#include "formdesc/FormReader.h"
#include "formdesc/MessageSink.h"
#include "formdesc/OutputFile.h"
#include "formdesc/ShiftJis.h"
#include "platform/ApplicationGuard.h"
#include "platform/FontTable.h"

namespace editor {

namespace {

namespace sjis = formdesc::sjis;

// Written through the descriptor the process holds, never opened by name.
const char* const kStandardOutputPath = "/dev/stdout";

void showError(const std::string& text) {
    formdesc::messageSink().show(formdesc::kCaptionError, text, formdesc::MessageIcon::Exclamation);
}

int usage(const char* text) {
    std::fprintf(stderr, "tabrik: %s\n", text);
    return SheetCommand::kExitUsage;
}

} // namespace

bool SheetCommand::requested(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (std::strncmp(arg, "--design-sheet", 14) == 0 || std::strcmp(arg, "--entry-sheet") == 0)
            return true;
    }
    return false;
}

int SheetCommand::run(int argc, char** argv) {
    platform::ApplicationGuard guard;
    platform::FontTable::installSubstitutions();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    const QCommandLineOption design(QStringLiteral("design-sheet"),
                                    QStringLiteral("設計用紙を書き出す帳票ファイル"), QStringLiteral("FORM"));
    const QCommandLineOption entry(QStringLiteral("entry-sheet"), QStringLiteral("記入用紙を書き出す"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QStringLiteral("書き出すPDFファイル"),
                                 QStringLiteral("OUT"));
    const QCommandLineOption printer(QStringLiteral("printer"), QStringLiteral("印刷するCUPSのプリンタ"),
                                     QStringLiteral("NAME"));
    const QCommandLineOption portrait(QStringLiteral("portrait"),
                                      QStringLiteral("縦型（100行×132桁）の用紙"));
    const QCommandLineOption paper(QStringLiteral("paper"),
                                   QStringLiteral("用紙サイズ A4 または B4（既定 A4）"),
                                   QStringLiteral("SIZE"));
    for (const auto* option : {&design, &entry, &pdf, &printer, &portrait, &paper})
        parser.addOption(*option);
    if (!parser.parse(arguments))
        return usage(parser.errorText().toLocal8Bit().constData());
    if (parser.isSet(design) == parser.isSet(entry))
        return usage("--design-sheet FORM か --entry-sheet のどちらか一つを指定してください");
    if (parser.isSet(pdf) == parser.isSet(printer) || (parser.isSet(pdf) && parser.value(pdf).isEmpty()))
        return usage("--pdf OUT か --printer NAME のどちらか一つで出力先を指定してください");
    if (parser.isSet(printer) && parser.isSet(paper))
        return usage("--paper はPDFにだけ使えます（プリンタは自分の用紙を使います）");
    if (!parser.positionalArguments().isEmpty())
        return usage("余分な引数があります");
    int dmPaper = kSheetPaperA4;
    if (parser.isSet(paper)) {
        const QString size = parser.value(paper).toUpper();
        if (size == QLatin1String("B4"))
            dmPaper = kSheetPaperB4;
        else if (size != QLatin1String("A4"))
            return usage("--paper は A4 か B4 です");
    }
    std::string out = QFile::encodeName(parser.value(pdf)).toStdString();
    // "-" is standard output, as for zrk; a PDF is not for the terminal.
    if (parser.isSet(pdf) && out == "-") {
        if (::isatty(STDOUT_FILENO))
            return usage("--pdf - は標準出力に書き出しますが、標準出力が端末です");
        out = kStandardOutputPath;
    }

    SheetRequest request;
    request.settings.kind = parser.isSet(portrait) ? kSheetPortrait : kSheetLandscape;
    auto model = std::make_unique<formdesc::FormModel>();
    if (parser.isSet(design)) {
        const std::string formPath = QFile::encodeName(parser.value(design)).toStdString();
        const auto form = formdesc::fileIdentity(formPath);
        if (form && parser.isSet(pdf) && form == formdesc::fileIdentity(out))
            return usage("出力先が帳票ファイルと同じです");
        // The reader shows its own message for a form it cannot take.
        if (!formdesc::readFormFile(formPath, *model, formdesc::ReaderVariant::Designer))
            return kExitFailed;
        const SheetKinds kinds = sheetKindsFor(model->form.rows, model->form.columns);
        if (!parser.isSet(portrait))
            request.settings.kind = kinds.preferred;
        const bool fits = request.settings.kind == kSheetPortrait ? kinds.portrait : kinds.landscape;
        if (!fits) {
            showError(request.settings.kind == kSheetPortrait ? "帳票が縦型の設計用紙に収まりません"
                                                              : "帳票が横型の設計用紙に収まりません");
            return kExitFailed;
        }
        request.model = model.get();
        request.formFolder = QFileInfo(parser.value(design)).absolutePath().toStdString();
        request.settings.name =
            SheetPrinter::cutText(sjis::view(model->form.title), SheetPrinter::kNameBytes);
        request.settings.date = parseSheetDate(DesignSheetDialog::today().toStdString());
    }

    std::string error;
    SheetOutcome outcome = SheetOutcome::Printed;
    if (parser.isSet(pdf)) {
        outcome = SheetOutput::writePdf(out, dmPaper, request, error);
    } else {
        const QString queue = parser.value(printer);
        outcome = SheetOutput::print(SheetPrinterAccess::system().printerFor(queue), request, error);
        if (outcome == SheetOutcome::CannotOpen)
            error = "there is no printer named " + queue.toStdString();
    }
    if (outcome != SheetOutcome::Printed) {
        showError(SheetOutput::failureText(outcome, request.model != nullptr));
        if (!error.empty())
            std::fprintf(stderr, "tabrik: %s\n", error.c_str());
        return kExitFailed;
    }
    return 0;
}

} // namespace editor
