#include "editor/widgets/AttributeControls.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QTimer>

#include <cstdlib>

#include "formdesc/ShiftJis.h"

// The font dialog's sample box shows Japanese text, in the face and size
// chosen, where a user can read it.
TEST(FontDialogSample, ShowsJapaneseText) {
    QString sample;
    bool shown = false;
    int height = 0;
    int lineHeight = 0;
    QTimer::singleShot(50, [&] {
        auto* dialog = qobject_cast<QFontDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (QGroupBox* group : dialog->findChildren<QGroupBox*>())
            for (QLineEdit* edit : group->findChildren<QLineEdit*>()) {
                sample = edit->text();
                shown = edit->isVisible();
                height = edit->height();
                lineHeight = QFontMetrics(edit->font()).height();
            }
        if (const char* shots = std::getenv("TABRIK_SHOT_DIR"))
            dialog->grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/font-dialog.png"));
        dialog->reject();
    });
    const auto chosen = editor::chooseFont(formdesc::sjis::fromUtf8("ＭＳ 明朝"), 120, nullptr,
                                           editor::AttributeDialogs::standard());
    EXPECT_FALSE(chosen);
    EXPECT_EQ(sample, QStringLiteral("あア亜Aa1"));
    EXPECT_TRUE(shown);
    EXPECT_GE(height, lineHeight);
}
