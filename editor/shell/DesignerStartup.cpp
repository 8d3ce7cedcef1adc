#include "DesignerStartup.h"

#include "CMainFrame.h"
#include "FontTable.h"
#include "FormCanvas.h"
#include "QtDocumentUi.h"
#include "QtMessageSink.h"
#include "SheetCommand.h"
#include "Version.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cstdio>

namespace editor {

namespace {

QElapsedTimer& sinceStart() {
    static QElapsedTimer timer;
    return timer;
}

// Watches one widget for its first paint, then ends the event loop.
class FirstPaintWatcher : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Queued: the paint in progress finishes first.
            QTimer::singleShot(0, qApp, [] {
                std::fprintf(stderr, "tabrik: first frame painted after %lld ms\n",
                             static_cast<long long>(sinceStart().elapsed()));
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool m_seen = false;
};

} // namespace

bool DesignerStartup::installJapaneseTranslations(QApplication& app) {
    auto* translator = new QTranslator(&app);
    if (!translator->load(QStringLiteral("qtbase_ja"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QApplication::installTranslator(translator);
    return true;
}

void DesignerStartup::quitAfterFirstPaint(QWidget& widget) {
    widget.installEventFilter(new FirstPaintWatcher(&widget));
}

int DesignerStartup::run(int argc, char** argv) {
    // Sheets asked for on the command line need no window, and no display either.
    if (SheetCommand::requested(argc, argv))
        return SheetCommand::run(argc, argv);
    sinceStart().start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tabrik"));
    QApplication::setApplicationVersion(QString::fromLatin1(zrkversion::kVersion));
    installJapaneseTranslations(app);
    platform::FontTable::installSubstitutions();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("帳票デザイナ"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FORM"), QStringLiteral("開く帳票ファイル (.zrk)"),
                                 QStringLiteral("[FORM]"));
    parser.process(app);

    platform::QtMessageSink messages;
    formdesc::ScopedMessageSink installed(messages);
    QtDocumentUi ui;
    CMainFrame frame(ui, DesignerSettings::defaultPath());
    ui.setDialogParent(&frame);
    if (qEnvironmentVariableIntValue("TABRIK_QUIT_AFTER_FIRST_PAINT") == 1)
        quitAfterFirstPaint(*frame.canvas().viewport());
    frame.showAsSettingsSay();

    // The form named on the command line is read exactly as the Open command
    // reads it, before the first paint, so that the first frame shows it.
    const QStringList forms = parser.positionalArguments();
    if (!forms.isEmpty())
        frame.canvas().openFormFile(forms.first());
    return app.exec();
}

} // namespace editor
