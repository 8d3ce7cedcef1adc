#include "editor/shell/CMainFrame.h"

#include "editor/canvas/FormCanvas.h"
#include "editor/document/FormDocument.h"
#include "editor/papers/DesignSheetDialog.h"
#include "editor/papers/EntrySheetDialog.h"
#include "editor/sheets/PropertySheets.h"
#include "editor/shell/AboutBox.h"
#include "editor/shell/EditCommands.h"
#include "editor/shell/EditPalette.h"
#include "editor/shell/MainFrameActions.h"
#include "editor/shell/MainFrameBars.h"
#include "editor/shell/OptionsDialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

// The pictures live in a static library: their registration has to be asked
// for by name, outside any namespace.
static void loadShellPictures() {
    Q_INIT_RESOURCE(shell);
}

namespace editor {

namespace {

// How long the status bar tells that the form was saved.
constexpr int kSavedMessageMs = 5000;

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addFile(QStringLiteral(":/shell/pictures/tabrik-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace

CMainFrame::CMainFrame(DocumentUi& ui, const QString& settingsPath, QWidget* parent)
    : QMainWindow(parent), m_settingsPath(settingsPath) {
    loadShellPictures();
    // Before the native window exists, so that it is made at the right place.
    m_settings.read(m_settingsPath);
    setObjectName(QStringLiteral("mainFrame"));
    setWindowTitle(QStringLiteral("Tabrik"));
    setWindowIcon(programIcon());

    m_canvas = new FormCanvas(ui, this);
    m_canvas->setObjectName(QStringLiteral("canvas"));
    m_canvas->setFrameShape(QFrame::StyledPanel);
    setCentralWidget(m_canvas);
    setFocusProxy(m_canvas);

    m_actions = new MainFrameActions(this);
    m_bars = std::make_unique<MainFrameBars>(*this, *m_actions);
    // The frame's actions answer their keys wherever the focus is inside it.
    addActions(m_actions->findChildren<QAction*>());
    // The edit palette docks at the top on a row of its own, under the
    // toolbar and the parts palette.
    addToolBarBreak(Qt::TopToolBarArea);
    m_editPalette = new EditPalette(*m_canvas, this);
    addToolBar(Qt::TopToolBarArea, m_editPalette);

    m_canvas->document().setLastFolder(m_settings.lastFolder);
    m_canvas->setModeKeep(m_settings.modeKeep != 0);
    m_canvas->setUpdateMove(m_settings.updateMove != 0);
    m_actions->showToolMode(m_canvas->toolMode());
    connectCommands();

    // A rectangle from the file that no screen shows, or larger than the
    // screens, or not a rectangle at all gives the maximised start.
    const QScreen* screen = QGuiApplication::primaryScreen();
    m_startMaximized = !screen || !m_settings.fitsScreen(screen->availableVirtualGeometry());
    if (!m_startMaximized) {
        const QRect rect = m_settings.windowRect();
        move(rect.topLeft());
        resize(rect.size());
    }
}

CMainFrame::~CMainFrame() = default;

QAction* CMainFrame::action(Command id) const {
    return m_actions->action(id);
}
QToolBar* CMainFrame::toolbar() const {
    return m_bars->toolbar();
}
QToolBar* CMainFrame::partsPalette() const {
    return m_bars->partsPalette();
}

void CMainFrame::showAsSettingsSay() {
    if (m_startMaximized)
        showMaximized();
    else
        show();
}

void CMainFrame::connectCommands() {
    FormCanvas* canvas = m_canvas;
    auto on = [this](Command id, auto slot) { connect(action(id), &QAction::triggered, this, slot); };
    on(Command::NewForm, [canvas] { canvas->newForm(); });
    on(Command::OpenForm, [canvas] { canvas->openForm(); });
    on(Command::SaveForm, [canvas] { canvas->saveForm(); });
    on(Command::SaveFormAs, [canvas] { canvas->saveFormAs(); });
    on(Command::SampleData, [this, canvas] {
        const QString written = canvas->document().writeSampleData();
        if (!written.isEmpty())
            statusBar()->showMessage(
                QStringLiteral("サンプルデータを保存しました: %1").arg(QDir::toNativeSeparators(written)),
                kSavedMessageMs);
    });
    on(Command::Exit, [this] { close(); });
    m_job = [canvas](RuntimeMode mode) {
        if (mode == RuntimeMode::Preview)
            canvas->showPreview();
        else
            canvas->printForm();
    };
    on(Command::DisplayImage, [this] { runRuntimeJob(RuntimeMode::Preview); });
    on(Command::PrintImage, [this] { runRuntimeJob(RuntimeMode::Print); });
    on(Command::Options, [this] { chooseOptions(); });
    on(Command::About, [this] {
        AboutBox box(this);
        box.exec();
    });
    new EditCommands(*m_actions, *canvas, this);
    canvas->setSheetOpener([](FormCanvas& c, int kind) {
        int index = c.currentItemIndex();
        const bool changed = runPropertySheet(c.document(), kind, index, c.updateMove(), &c);
        if (kind != 0 && kind != formdesc::kKindBase)
            c.setCurrentItem(kind, index);
        return changed;
    });
    on(Command::FormInfo, [canvas] { canvas->openPropertySheet(0); });
    on(Command::DesignSheet, [canvas] { runDesignSheetDialog(*canvas, canvas); });
    on(Command::EntrySheet, [canvas] { runEntrySheetDialog(canvas); });
    on(Command::ViewToolbar, [this] { toggleBar(toolbar()); });
    on(Command::ViewStatusBar, [this] { toggleBar(statusBar()); });
    on(Command::ViewPartsPalette, [this] { toggleBar(partsPalette()); });
    on(Command::ViewEditPalette, [this] { toggleBar(m_editPalette); });
    for (Command id :
         {Command::ViewToolbar, Command::ViewStatusBar, Command::ViewPartsPalette, Command::ViewEditPalette})
        action(id)->setCheckable(true);
    refreshViewChecks();
    // The checks follow the bars also when a floating bar is closed by its own box.
    for (QToolBar* bar : {toolbar(), partsPalette(), static_cast<QToolBar*>(m_editPalette)})
        connect(bar, &QToolBar::visibilityChanged, this, [this] { refreshViewChecks(); });
    for (QMenu* menu : menuBar()->findChildren<QMenu*>())
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::refreshViewChecks);

    connect(m_actions, &MainFrameActions::toolModeRequested, canvas, &FormCanvas::setToolMode);
    // The canvas may refuse or change the mode itself (back to the range
    // selection after drawing): its answer sets the pressed button.
    connect(m_actions, &MainFrameActions::toolModeRequested, this,
            [this] { m_actions->showToolMode(m_canvas->toolMode()); });
    connect(canvas, &FormCanvas::toolModeChanged, m_actions, &MainFrameActions::showToolMode);
    // Qt's marker ("*" in the title bar) shows while the form differs from its file.
    auto showTitle = [this](const QString& title) { setWindowTitle(title + QStringLiteral("[*]")); };
    connect(canvas, &FormCanvas::titleChanged, this, showTitle);
    FormDocument& document = canvas->document();
    connect(&document, &FormDocument::modifiedChanged, this, &QWidget::setWindowModified);
    connect(&document, &FormDocument::saved, this, [this](const QString& path) {
        statusBar()->showMessage(QStringLiteral("保存しました: %1").arg(QDir::toNativeSeparators(path)),
                                 kSavedMessageMs);
    });
    // The canvas may have set up its first form before the frame listened.
    if (!document.windowTitle().isEmpty())
        showTitle(document.windowTitle());
    setWindowModified(document.isModified());
}

void CMainFrame::chooseOptions() {
    OptionsDialog dialog(m_canvas->modeKeep(), m_canvas->updateMove(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_canvas->setModeKeep(dialog.modeKeep());
    m_canvas->setUpdateMove(dialog.updateMove());
    m_settings.modeKeep = dialog.modeKeep() ? 1 : 0;
    m_settings.updateMove = dialog.updateMove() ? 1 : 0;
}

void CMainFrame::toggleBar(QWidget* bar) {
    bar->setVisible(bar->isHidden());
    refreshViewChecks();
}

void CMainFrame::refreshViewChecks() {
    action(Command::ViewToolbar)->setChecked(!toolbar()->isHidden());
    action(Command::ViewStatusBar)->setChecked(!statusBar()->isHidden());
    action(Command::ViewPartsPalette)->setChecked(!partsPalette()->isHidden());
    action(Command::ViewEditPalette)->setChecked(!m_editPalette->isHidden());
}

void CMainFrame::focusInEvent(QFocusEvent* event) {
    QMainWindow::focusInEvent(event);
    m_canvas->setFocus();
}

void CMainFrame::runRuntimeJob(RuntimeMode mode) {
    // A click that arrived while the runtime pumped events is no new job.
    if (m_jobRunning)
        return;
    m_jobRunning = true;
    m_closeAfterJob = false;
    // The runtime's own windows are top-level and stay usable; the frame,
    // its menus, bars, shortcuts and canvas take nothing until the job ends.
    setEnabled(false);
    m_job(mode);
    setEnabled(true);
    // Disabling took the focus away; the canvas had it before the command.
    m_canvas->setFocus();
    m_jobRunning = false;
    if (m_closeAfterJob) {
        m_closeAfterJob = false;
        close();
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (m_jobRunning) {
        // Closed once the job has ended, with the usual question about changes.
        m_closeAfterJob = true;
        event->ignore();
        return;
    }
    if (!m_canvas->canClose()) {
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

void CMainFrame::writeSettings() {
    m_settings.lastFolder = m_canvas->document().lastFolder();
    // The outer corner and the client size: the same pair that move() and
    // resize() take when the next start restores the window.
    m_settings.setWindow(QRect(pos(), size()), isMaximized());
    m_settings.write(m_settingsPath);
}

} // namespace editor
