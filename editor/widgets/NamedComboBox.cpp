#include "editor/widgets/NamedComboBox.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QLineEdit>
#include <QPointer>
#include <QWindow>

#include <vector>

namespace editor {

namespace {

class NamedComboAccessible;

// What the two interfaces below share: the combo box they stand for, and the
// combo's own interface (their parent, or the list's).
class ComboPart : public QAccessibleInterface {
  public:
    explicit ComboPart(QComboBox* combo) : m_combo(combo) {}

    bool isValid() const override { return !m_combo.isNull(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return m_combo ? m_combo->window()->windowHandle() : nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }

  protected:
    QAccessibleInterface* comboInterface() const {
        return m_combo ? QAccessible::queryAccessibleInterface(m_combo.data()) : nullptr;
    }
    QPointer<QComboBox> m_combo;
};

// One entry of the list: named by its text, selected while it is the
// current one, picked by its press action as a click in the open list does.
class ComboEntryAccessible : public ComboPart, public QAccessibleActionInterface {
  public:
    ComboEntryAccessible(QComboBox* combo, int row) : ComboPart(combo), m_row(row) {}

    bool isValid() const override { return m_combo && m_row < m_combo->count(); }
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && isValid() ? m_combo->itemText(m_row) : QString();
    }
    QRect rect() const override {
        if (!isValid() || !m_combo->view()->isVisible())
            return {};
        QAbstractItemView* view = m_combo->view();
        const QRect r = view->visualRect(view->model()->index(m_row, m_combo->modelColumn()));
        return QRect(view->viewport()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.selectable = true;
        state.selected = isValid() && m_combo->currentIndex() == m_row;
        state.invisible = !m_combo || !m_combo->view()->isVisible();
        state.disabled = !m_combo || !m_combo->isEnabled();
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }

    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
    void doAction(const QString& action) override {
        if (action != pressAction() || !isValid() || !m_combo->isEnabled())
            return;
        m_combo->hidePopup();
        m_combo->setCurrentIndex(m_row);
        emit m_combo->activated(m_row);
        emit m_combo->textActivated(m_combo->itemText(m_row));
    }

  private:
    int m_row;
};

// The list of the entries, browsable whether it is open or not.
class ComboListAccessible : public ComboPart {
  public:
    ComboListAccessible(QComboBox* combo, NamedComboAccessible& owner) : ComboPart(combo), m_owner(owner) {}

    QAccessibleInterface* parent() const override { return comboInterface(); }
    QAccessibleInterface* child(int index) const override;
    int childCount() const override { return m_combo ? m_combo->count() : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override;
    QString text(QAccessible::Text t) const override {
        return t == QAccessible::Name && m_combo ? m_combo->accessibleName() : QString();
    }
    QRect rect() const override {
        if (!m_combo || !m_combo->view()->isVisible())
            return {};
        const QWidget* view = m_combo->view();
        return QRect(view->mapToGlobal(QPoint(0, 0)), view->size());
    }
    QAccessible::Role role() const override { return QAccessible::List; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.invisible = !m_combo || !m_combo->view()->isVisible();
        return state;
    }

  private:
    NamedComboAccessible& m_owner;
};

// The combo box: its given name (the tooltip), its current text as the
// value, and as children the list of its entries (and the edit field of an
// editable one), as Qt's own combo box shows them.
class NamedComboAccessible : public QAccessibleWidget {
  public:
    explicit NamedComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}
    ~NamedComboAccessible() override {
        // The list and its entries have no object of their own: they go with the combo's.
        for (const QAccessible::Id id : m_entryIds)
            QAccessible::deleteAccessibleInterface(id);
        if (m_listId)
            QAccessible::deleteAccessibleInterface(m_listId);
    }

    QComboBox* combo() const { return static_cast<QComboBox*>(widget()); }

    QAccessibleInterface* list() {
        if (!m_listId)
            m_listId = QAccessible::registerAccessibleInterface(new ComboListAccessible(combo(), *this));
        return QAccessible::accessibleInterface(m_listId);
    }
    QAccessibleInterface* entry(int row) {
        if (row < 0 || row >= combo()->count())
            return nullptr;
        while (int(m_entryIds.size()) <= row)
            m_entryIds.push_back(QAccessible::registerAccessibleInterface(
                new ComboEntryAccessible(combo(), int(m_entryIds.size()))));
        return QAccessible::accessibleInterface(m_entryIds[std::size_t(row)]);
    }
    int rowOf(const QAccessibleInterface* child) const {
        const QAccessible::Id id = QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child));
        for (std::size_t row = 0; row < m_entryIds.size(); ++row)
            if (m_entryIds[row] == id)
                return int(row) < combo()->count() ? int(row) : -1;
        return -1;
    }

    int childCount() const override { return combo()->isEditable() && combo()->lineEdit() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        auto* self = const_cast<NamedComboAccessible*>(this);
        if (index == 0)
            return self->list();
        if (index == 1 && childCount() == 2)
            return QAccessible::queryAccessibleInterface(combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child)
            return -1;
        if (m_listId && QAccessible::uniqueId(const_cast<QAccessibleInterface*>(child)) == m_listId)
            return 0;
        if (childCount() == 2 && child->object() == combo()->lineEdit())
            return 1;
        return -1;
    }

    QString text(QAccessible::Text t) const override {
        switch (t) {
        case QAccessible::Name:
            return widget()->accessibleName().isEmpty() ? value() : widget()->accessibleName();
        case QAccessible::Value:
            return value();
        default:
            return QAccessibleWidget::text(t);
        }
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.expandable = true;
        state.expanded = combo()->view()->isVisible();
        state.editable = combo()->isEditable();
        return state;
    }

    // Opening the list is the combo box's own action.
    QStringList actionNames() const override {
        return QStringList{showMenuAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == showMenuAction() || action == pressAction())
            combo()->showPopup();
        else
            QAccessibleWidget::doAction(action);
    }

  private:
    QString value() const {
        return combo()->isEditable() ? combo()->lineEdit()->text() : combo()->currentText();
    }

    QAccessible::Id m_listId = 0;
    std::vector<QAccessible::Id> m_entryIds;
};

QAccessibleInterface* ComboEntryAccessible::parent() const {
    auto* combo = static_cast<NamedComboAccessible*>(comboInterface());
    return combo ? combo->list() : nullptr;
}

QAccessibleInterface* ComboListAccessible::child(int index) const {
    return m_owner.entry(index);
}

int ComboListAccessible::indexOfChild(const QAccessibleInterface* child) const {
    return child ? m_owner.rowOf(child) : -1;
}

QAccessibleInterface* namedComboFactory(const QString& className, QObject* object) {
    if (className == QLatin1String(NamedComboBox::staticMetaObject.className()) && object &&
        object->isWidgetType())
        return new NamedComboAccessible(static_cast<QComboBox*>(object));
    return nullptr;
}

} // namespace

NamedComboBox::NamedComboBox(QWidget* parent) : QComboBox(parent) {
    static const bool installed = [] {
        QAccessible::installFactory(namedComboFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace editor
