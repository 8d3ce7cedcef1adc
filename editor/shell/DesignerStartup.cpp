#include "editor/shell/DesignerStartup.h"

#include "Version.h"
#include "editor/canvas/FormCanvas.h"
#include "editor/document/QtDocumentUi.h"
#include "editor/papers/SheetCommand.h"
#include "editor/shell/CMainFrame.h"
#include "editor/shell/StartupArguments.h"
#include "editor/widgets/FileDialogFit.h"
#include "formdesc/MessageSink.h"
#include "platform/ApplicationGuard.h"
#include "platform/FontTable.h"
#include "platform/QtMessageSink.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

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

// Writes the text on standard output: 0, or 1 with the reason when it
// could not be written (a full disk, a closed descriptor), as zrk does.
int printed(const std::string& text) {
    if (std::fwrite(text.data(), 1, text.size(), stdout) == text.size() && std::fflush(stdout) == 0)
        return 0;
    std::fprintf(stderr, "tabrik: standard output: %s\n", std::strerror(errno));
    return 1;
}

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
    sinceStart().start();
    // Read before any application object exists: help, version and usage
    // errors need no display, and Qt aborts when its platform cannot start.
    const StartupArguments arguments(argc, argv);
    switch (arguments.action()) {
    case StartupArguments::Action::ShowHelp:
        return printed(StartupArguments::helpText().toUtf8().toStdString());
    case StartupArguments::Action::ShowVersion:
        return printed(std::string("tabrik ") + zrkversion::kVersion + "\n");
    case StartupArguments::Action::UsageError:
        std::fprintf(stderr, "tabrik: %s\ntabrik --help で使い方を表示します\n",
                     arguments.errorText().toUtf8().constData());
        return SheetCommand::kExitUsage;
    case StartupArguments::Action::WriteSheet:
        // Sheets asked for on the command line need no window, and no display either.
        return SheetCommand::run(argc, argv);
    case StartupArguments::Action::OpenWindow:
        break;
    }
    if (arguments.needsDisplay() && platform::ApplicationGuard::noDisplay()) {
        formdesc::messageSink().show(formdesc::kCaptionError, kNoDisplayText,
                                     formdesc::MessageIcon::Exclamation);
        return kExitNoDisplay;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tabrik"));
    QApplication::setApplicationVersion(QString::fromLatin1(zrkversion::kVersion));
    installJapaneseTranslations(app);
    platform::FontTable::installSubstitutions();
    FileDialogFit::install(app);

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
    const QStringList& forms = arguments.forms();
    if (!forms.isEmpty())
        frame.canvas().openFormFile(forms.first());
    return app.exec();
}

} // namespace editor
