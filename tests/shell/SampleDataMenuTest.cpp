#include "tests/shell/ShellFixture.h"

#include "editor/document/FormDocument.h"

#include <QStatusBar>

namespace {

const QString kFileMenu = QStringLiteral("ファイル(&F)");
const QString kSampleItem = QStringLiteral("サンプルデータ(&D)...");

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

using SampleDataMenuTest = ShellFixture;

// The menu item asks for a file beside the form, named after it, and writes
// the slots' names in slot order (a detail slot of twenty lines once) with
// one example record; the status bar names the file. A cancelled dialog
// writes nothing and says nothing.
TEST_F(SampleDataMenuTest, writesTheFormsNamesAndOneRecord) {
    startFrame();
    const QString form = folderPath() + "/shop.zrk";
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZRK_SOURCE_DIR "/tests/data/shop-invoice.zrk"), form));
    ASSERT_TRUE(frame().canvas().document().openFormFile(form));

    const QString csv = folderPath() + "/out.csv";
    chooseMenuItem(kFileMenu, kSampleItem);
    EXPECT_EQ(ui.dataNames, QStringList{folderPath() + "/shop.csv"});
    EXPECT_FALSE(QFile::exists(csv));
    EXPECT_TRUE(frame().statusBar()->currentMessage().isEmpty());

    ui.dataAnswers.push_back(csv);
    chooseMenuItem(kFileMenu, kSampleItem);
    EXPECT_EQ(QString::fromUtf8(fileBytes(csv)),
              QStringLiteral("CUSTOMER,NUMBER,DATE,TOTAL,ITEM,QTY,PRICE,AMOUNT\r\n"
                             "見本CUSTOMER,見本NUMBER,2026/04/01,1250,見本ITEM1,1250,1250,1250\r\n"));
    EXPECT_EQ(frame().statusBar()->currentMessage(), QStringLiteral("サンプルデータを保存しました: ") + csv);
    EXPECT_TRUE(messages.messages.empty());
}

// A form without tags has nothing to fill by name: a warning, no dialog. A
// file that cannot be written names itself and its reason.
TEST_F(SampleDataMenuTest, refusalsAreTold) {
    startFrame();
    chooseMenuItem(kFileMenu, kSampleItem);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "タグを付けた項目がないため、サンプルデータはありません");
    EXPECT_TRUE(ui.dataNames.isEmpty());

    const QString form = folderPath() + "/shop.zrk";
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZRK_SOURCE_DIR "/tests/data/shop-invoice.zrk"), form));
    ASSERT_TRUE(frame().canvas().document().openFormFile(form));
    const QString missing = folderPath() + "/no/such/folder/out.csv";
    ui.dataAnswers.push_back(missing);
    chooseMenuItem(kFileMenu, kSampleItem);
    ASSERT_EQ(messages.messages.size(), 2u);
    EXPECT_EQ(messages.messages[1].caption, "エラー");
    EXPECT_NE(messages.messages[1].text.find(missing.toStdString()), std::string::npos);
    EXPECT_TRUE(frame().statusBar()->currentMessage().isEmpty());
}
