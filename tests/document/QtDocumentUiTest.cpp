#include "editor/document/QtDocumentUi.h"

#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

// Save As starts in the folder last used with the current file's name in its
// name edit, so that OK writes over the form (after the dialog's question) and
// a new name is typed over it; a form without a name offers none.
TEST(QtDocumentUi, SaveDialogOffersTheCurrentName) {
    TempFolder folder;
    const QString start = QString::fromStdString(folder.path().string());
    const struct {
        const char* current;
        const char* offered;
    } rows[] = {{"invoice.zrk", "invoice.zrk"}, {"", ""}};
    editor::QtDocumentUi ui;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.current);
        QString offered = QStringLiteral("(no dialog)");
        QString directory;
        auto* poll = new QTimer;
        QObject::connect(poll, &QTimer::timeout, [poll, &offered, &directory] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            poll->stop();
            poll->deleteLater();
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            offered = name ? name->text() : QStringLiteral("(no name edit)");
            directory = dialog->directory().absolutePath();
            dialog->reject();
        });
        poll->start(10);
        EXPECT_TRUE(ui.chooseFileToSave(start, QString::fromUtf8(row.current)).isEmpty());
        EXPECT_EQ(offered, QString::fromUtf8(row.offered));
        EXPECT_EQ(QDir(directory), QDir(start));
    }
}

} // namespace
