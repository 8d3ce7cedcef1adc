#include "editor/shell/StartupArguments.h"

#include <QCommandLineParser>

#include <initializer_list>

namespace editor {

namespace {

// Qt's own arguments, which the application object takes out of the list
// later: accepted here so that they are no usage error, and never shown.
constexpr std::initializer_list<const char*> kQtValueOptions = {
    "platform",    "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry",
    "qwindowicon", "qwindowtitle",       "session",       "display", "geometry",
    "style",       "stylesheet",         "name",          "title"};
constexpr std::initializer_list<const char*> kQtFlags = {"reverse", "widgetcount", "nograb", "dograb",
                                                         "sync"};

QCommandLineOption hidden(QCommandLineOption option) {
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

} // namespace

StartupArguments::StartupArguments(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    // "-platform offscreen" as Qt reads it, not as eight one-letter options.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help"),
                                              QStringLiteral("?"), QStringLiteral("help-all")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    const QCommandLineOption design(QStringLiteral("design-sheet"), QString(), QStringLiteral("FORM"));
    const QCommandLineOption entry(QStringLiteral("entry-sheet"));
    const QCommandLineOption pdf(QStringLiteral("pdf"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption printer(QStringLiteral("printer"), QString(), QStringLiteral("NAME"));
    const QCommandLineOption portrait(QStringLiteral("portrait"));
    const QCommandLineOption paper(QStringLiteral("paper"), QString(), QStringLiteral("SIZE"));
    for (const QCommandLineOption* option :
         {&help, &version, &design, &entry, &pdf, &printer, &portrait, &paper})
        parser.addOption(*option);
    for (const char* name : kQtValueOptions)
        parser.addOption(
            hidden(QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("VALUE"))));
    for (const char* name : kQtFlags)
        parser.addOption(hidden(QCommandLineOption(QString::fromLatin1(name))));

    if (!parser.parse(arguments)) {
        m_action = Action::UsageError;
        const QStringList unknown = parser.unknownOptionNames();
        m_error = unknown.isEmpty()
                      ? QStringLiteral("コマンド行の指定が正しくありません（%1）").arg(parser.errorText())
                      : QStringLiteral("知らないオプションです（%1）").arg(unknown.first());
        return;
    }
    m_platform = parser.value(QStringLiteral("platform"));
    if (parser.isSet(help)) {
        m_action = Action::ShowHelp;
    } else if (parser.isSet(version)) {
        m_action = Action::ShowVersion;
    } else if (parser.isSet(design) || parser.isSet(entry)) {
        // The sheet command reads the arguments again and checks their combination.
        m_action = Action::WriteSheet;
    } else if (parser.isSet(pdf) || parser.isSet(printer) || parser.isSet(portrait) || parser.isSet(paper)) {
        m_action = Action::UsageError;
        m_error = QStringLiteral("--pdf、--printer、--portrait、--paper は --design-sheet か --entry-sheet "
                                 "と一緒に指定してください");
    } else {
        m_forms = parser.positionalArguments();
    }
}

bool StartupArguments::needsDisplay() const {
    const QString platforms = m_platform.isEmpty() ? qEnvironmentVariable("QT_QPA_PLATFORM") : m_platform;
    if (platforms.isEmpty())
        return true;
    // Qt tries the list in order: one platform without a display is enough.
    for (const QString& entry : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString plugin = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (plugin != QLatin1String("xcb") && !plugin.startsWith(QLatin1String("wayland")))
            return false;
    }
    return true;
}

QString StartupArguments::helpText() {
    return QStringLiteral(
        "使い方: tabrik [FORM]\n"
        "        tabrik --design-sheet FORM (--pdf OUT | --printer NAME) [--portrait] [--paper SIZE]\n"
        "        tabrik --entry-sheet (--pdf OUT | --printer NAME) [--portrait] [--paper SIZE]\n"
        "\n"
        "帳票デザイナ。FORM を開いて編集します（画面が必要です）。設計用紙と記入用紙は\n"
        "画面なしでPDFファイルかCUPSのプリンタに出力します。\n"
        "\n"
        "引数:\n"
        "  FORM                   開く帳票ファイル (.zrk)\n"
        "\n"
        "オプション:\n"
        "  -h, --help             この説明を表示して終了する\n"
        "  -v, --version          バージョンを表示して終了する\n"
        "  --design-sheet FORM    FORM の設計用紙を出力する\n"
        "  --entry-sheet          記入用紙を出力する\n"
        "  --pdf OUT              出力するPDFファイル\n"
        "  --printer NAME         印刷するCUPSのプリンタ（プリンタの用紙が B4 なら B4、ほかは A4）\n"
        "  --portrait             縦型（100行×132桁）の用紙（既定は帳票に合わせて選ぶ）\n"
        "  --paper SIZE           PDFの用紙サイズ A4 または B4（既定 A4）\n"
        "  Qt のオプション（-platform NAME、-style NAME など）も使えます\n"
        "\n"
        "終了コード: 0 正常終了、1 画面がない・帳票が読めない・出力できない、2 指定の誤り\n");
}

} // namespace editor
