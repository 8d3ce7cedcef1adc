#include "editor/shell/MainFrameActions.h"

#include <QAction>
#include <QIcon>
#include <QKeySequence>

namespace editor {

namespace {

QString text(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
}

} // namespace

MainFrameActions::MainFrameActions(QObject* parent) : QObject(parent) {
    for (const CommandInfo& info : shellCommands()) {
        auto* action = new QAction(this);
        // A button-only command still needs a text: assistive technology and
        // the toolbar's overflow menu show it.
        action->setText(info.menuText.empty() ? text(info.tooltip) : text(info.menuText));
        action->setIconText(text(info.tooltip));
        action->setToolTip(text(info.tooltip));
        action->setStatusTip(text(info.prompt));
        if (!info.picture.empty())
            action->setIcon(QIcon(QStringLiteral(":/shell/pictures/%1.png").arg(text(info.picture))));
        if (!info.keys.empty())
            action->setShortcuts(QKeySequence::listFromString(text(info.keys), QKeySequence::PortableText));
        action->setEnabled(info.available);
        action->setData(int(info.id));
        if (info.toolMode != 0) {
            action->setCheckable(true);
            const int mode = info.toolMode;
            // Toggled, not triggered: a click and a screen reader's toggle both
            // arrive here.
            connect(action, &QAction::toggled, this, [this, action, mode](bool checked) {
                if (checked && mode != m_shownMode)
                    emit toolModeRequested(mode);
                else if (!checked && mode == m_shownMode)
                    action->setChecked(true); // a tool is always chosen
            });
        }
        m_actions.emplace(info.id, action);
    }
}

QAction* MainFrameActions::action(Command id) const {
    return m_actions.at(id);
}

std::vector<QAction*> MainFrameActions::toolActions() const {
    std::vector<QAction*> tools;
    for (const CommandInfo& info : shellCommands())
        if (info.toolMode != 0)
            tools.push_back(action(info.id));
    return tools;
}

void MainFrameActions::showToolMode(int mode) {
    m_shownMode = mode;
    for (const CommandInfo& info : shellCommands())
        if (info.toolMode != 0)
            action(info.id)->setChecked(info.toolMode == mode);
}

} // namespace editor
