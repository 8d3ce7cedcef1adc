#include "editor/widgets/FileDialogFit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QTest>
#include <QTreeView>

#include <cstdlib>

#include "tests/support/TempFolder.h"

// Qt's own file dialog (the one a desktop without a native dialog shows)
// opens wide enough for the name, size, type and date of every file in its
// detail view, without the user dragging the columns wider.
TEST(FileDialogFit, TheColumnsOfTheFileListShowInFull) {
    TempFolder folder;
    for (const char* name : {"請求書_2026年12月分_控え.zrk", "logo.bmp"}) {
        QFile file(QString::fromStdString((folder.path() / name).string()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(150000, 'x'));
    }
    editor::FileDialogFit::install(*qApp);
    QFileDialog dialog(nullptr, QStringLiteral("開く"), QString::fromStdString(folder.path().string()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    dialog.show();
    auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
    ASSERT_TRUE(view);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) == 2; }, 5000));
    QTest::qWait(100);
    QApplication::processEvents();
    QHeaderView* header = view->header();
    const QAbstractItemView* items = view; // the column hints are public here
    for (int column = 0; column < 4; ++column) {
        SCOPED_TRACE(header->model()->headerData(column, Qt::Horizontal).toString().toStdString());
        EXPECT_FALSE(header->isSectionHidden(column));
        EXPECT_GE(header->sectionSize(column), items->sizeHintForColumn(column));
        EXPECT_GE(header->sectionSize(column), header->sectionSizeHint(column));
        EXPECT_LE(header->sectionViewportPosition(column) + header->sectionSize(column),
                  view->viewport()->width());
    }
    if (const char* shots = std::getenv("TABRIK_SHOT_DIR"))
        dialog.grab().save(QString::fromLocal8Bit(shots) + QStringLiteral("/file-dialog.png"));
}
