#include "editor/widgets/NamedComboBox.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QSignalSpy>

// What a screen reader and a robot find under a named combo box: its name,
// a child list of its entries by their texts, the current one selected, and
// an entry picked by its press action as a click in the open list.
TEST(NamedComboBox, ItsEntriesStandInAChildListThatARobotPicksFrom) {
    for (const bool editable : {false, true}) {
        editor::NamedComboBox combo;
        combo.addItems({QStringLiteral("横線"), QStringLiteral("縦線"), QStringLiteral("斜線(左上り)")});
        combo.setEditable(editable);
        combo.setAccessibleName(QStringLiteral("直線の種類"));
        QSignalSpy activated(&combo, &QComboBox::activated);

        QAccessibleInterface* box = QAccessible::queryAccessibleInterface(&combo);
        ASSERT_TRUE(box);
        EXPECT_EQ(box->text(QAccessible::Name), QStringLiteral("直線の種類"));
        EXPECT_EQ(box->childCount(), editable ? 2 : 1);
        QAccessibleInterface* list = box->child(0);
        ASSERT_TRUE(list) << editable;
        EXPECT_EQ(list->role(), QAccessible::List);
        EXPECT_EQ(list->parent(), box);
        EXPECT_EQ(box->indexOfChild(list), 0);
        ASSERT_EQ(list->childCount(), 3);
        QStringList names;
        for (int i = 0; i < list->childCount(); ++i) {
            QAccessibleInterface* entry = list->child(i);
            names << entry->text(QAccessible::Name);
            EXPECT_EQ(entry->role(), QAccessible::ListItem);
            EXPECT_EQ(entry->parent(), list);
            EXPECT_EQ(list->indexOfChild(entry), i);
            EXPECT_EQ(list->child(i), entry) << "one interface an entry";
        }
        EXPECT_EQ(names, (QStringList{"横線", "縦線", "斜線(左上り)"}));
        if (editable)
            EXPECT_EQ(box->child(1)->object(), combo.lineEdit());

        QAccessibleInterface* vertical = list->child(1);
        EXPECT_FALSE(vertical->state().selected);
        QAccessibleActionInterface* action = vertical->actionInterface();
        ASSERT_TRUE(action);
        action->doAction(QAccessibleActionInterface::pressAction());
        EXPECT_EQ(combo.currentIndex(), 1);
        ASSERT_EQ(activated.size(), 1);
        EXPECT_EQ(activated[0][0].toInt(), 1);
        EXPECT_TRUE(vertical->state().selected);
        EXPECT_FALSE(list->child(0)->state().selected);
        EXPECT_EQ(box->text(QAccessible::Value), QStringLiteral("縦線"));
    }
}
