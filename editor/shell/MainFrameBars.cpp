#include "editor/shell/MainFrameBars.h"

#include "editor/shell/MainFrameActions.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

namespace editor {

namespace {

// Adds the commands in order; kSeparator draws a separator line.
void addCommands(QMenu& menu, const MainFrameActions& actions, std::initializer_list<Command> commands) {
    for (Command command : commands) {
        if (command == kSeparator)
            menu.addSeparator();
        else
            menu.addAction(actions.action(command));
    }
}

// Assistive technology toggles a checkable button without clicking it, which
// would flip the picture and leave the command untouched: the toggle goes to
// the action, whose state the button then shows.
void keepInStepWithAction(QToolButton& button, QAction& action) {
    QObject::connect(&button, &QAbstractButton::toggled, &action, [&button, &action](bool checked) {
        if (checked != action.isChecked())
            action.setChecked(checked);
        if (button.isChecked() != action.isChecked())
            button.setChecked(action.isChecked());
    });
}

} // namespace

MainFrameBars::MainFrameBars(QMainWindow& frame, const MainFrameActions& actions) {
    buildMenus(*frame.menuBar(), actions);
    buildStatusBar(frame);
    m_toolbar = buildToolBar(frame, QStringLiteral("ツールバー"), QStringLiteral("toolbar"), toolbarButtons(),
                             actions);
    // Added to the same dock area without a break, the palette takes the
    // toolbar's row, directly to its right.
    m_partsPalette = buildToolBar(frame, QStringLiteral("部品パレット"), QStringLiteral("partsPalette"),
                                  partsPaletteButtons(), actions);
}

QString MainFrameBars::idleMessage() {
    return QStringLiteral("ﾚﾃﾞｨ");
}

void MainFrameBars::buildMenus(QMenuBar& menuBar, const MainFrameActions& actions) {
    addCommands(*menuBar.addMenu(QStringLiteral("ファイル(&F)")), actions,
                {Command::NewForm, Command::OpenForm, kSeparator, Command::SaveForm, Command::SaveFormAs,
                 kSeparator, Command::SampleData, kSeparator, Command::Exit});
    addCommands(*menuBar.addMenu(QStringLiteral("編集(&E)")), actions,
                {Command::Undo, Command::Redo, kSeparator, Command::Cut, Command::Copy, Command::Paste,
                 Command::Delete, kSeparator, Command::SelectAll});
    addCommands(*menuBar.addMenu(QStringLiteral("表示(&V)")), actions,
                {Command::ViewToolbar, Command::ViewStatusBar, kSeparator, Command::ViewPartsPalette,
                 Command::ViewEditPalette});
    QMenu& options = *menuBar.addMenu(QStringLiteral("オプション(&O)"));
    addCommands(options, actions, {Command::DisplayImage, Command::PrintImage, kSeparator});
    addCommands(*options.addMenu(QStringLiteral("帳票設計(&D)")), actions,
                {Command::DesignSheet, Command::EntrySheet});
    options.addSeparator();
    addCommands(options, actions, {Command::Options});
    addCommands(*menuBar.addMenu(QStringLiteral("ヘルプ(&H)")), actions, {Command::About});
}

QToolBar* MainFrameBars::buildToolBar(QMainWindow& frame, const QString& title, const QString& objectName,
                                      std::span<const Command> buttons, const MainFrameActions& actions) {
    auto* bar = new QToolBar(title, &frame);
    bar->setObjectName(objectName);
    bar->setAccessibleName(title);
    bar->setIconSize(QSize(18, 16));
    bar->setAllowedAreas(Qt::AllToolBarAreas);
    bar->setMovable(true);
    bar->setFloatable(true);
    // The bars are hidden and shown from the View menu only, where the check
    // marks live; the dock's own context menu would bypass them.
    bar->toggleViewAction()->setVisible(false);
    for (Command command : buttons) {
        if (command == kSeparator) {
            bar->addSeparator();
            continue;
        }
        QAction* action = actions.action(command);
        bar->addAction(action);
        // Screen readers and GUI robots find a picture button by its tooltip.
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(action));
        if (!button)
            continue;
        button->setAccessibleName(action->toolTip());
        if (action->isCheckable())
            keepInStepWithAction(*button, *action);
    }
    frame.addToolBar(Qt::TopToolBarArea, bar);
    return bar;
}

void MainFrameBars::buildStatusBar(QMainWindow& frame) {
    m_statusBar = frame.statusBar();
    m_statusBar->setObjectName(QStringLiteral("statusBar"));
    m_statusBar->setAccessibleName(QStringLiteral("ステータスバー"));
    // A normal (not permanent) widget: a command's prompt covers it while the
    // command is pointed at, and it shows again when the prompt is cleared.
    auto* idle = new QLabel(idleMessage(), m_statusBar);
    idle->setObjectName(QStringLiteral("messagePane"));
    m_statusBar->addWidget(idle, 1);
    for (const char* indicator : {"ｶﾅ", "CAP", "NUM", "SCRL"}) {
        auto* pane = new QLabel(QString::fromUtf8(indicator), m_statusBar);
        pane->setObjectName(QStringLiteral("indicator"));
        pane->setFrameShape(QFrame::Panel);
        pane->setFrameShadow(QFrame::Sunken);
        pane->setAlignment(Qt::AlignCenter);
        // The key states are not reported to programs on every platform;
        // the panes keep their place and read as inactive.
        pane->setEnabled(false);
        m_statusBar->addPermanentWidget(pane);
    }
}

} // namespace editor
