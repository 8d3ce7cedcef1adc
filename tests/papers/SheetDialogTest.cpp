#include <gtest/gtest.h>

#include <QAccessible>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "editor/papers/DesignSheetDialog.h"
#include "editor/papers/EntrySheetDialog.h"
#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "tests/support/TempFolder.h"

using editor::DesignSheetDialog;
using editor::EntrySheetDialog;
using editor::SheetDialog;
using editor::SheetPrinterAccess;

namespace {

// A print system with one default queue (none when empty) that has no real
// printer behind it; the print dialog, when asked, chooses "print to file"
// with the given path on A3 paper.
SheetPrinterAccess fakeAccess(const QString& queue, const QString& pdfPath = {}) {
    SheetPrinterAccess access;
    access.defaultQueue = [queue] { return queue; };
    access.printerFor = [](const QString&) { return std::unique_ptr<QPrinter>(); };
    access.choosePrinter = [pdfPath](QPrinter& printer, QWidget*) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdfPath);
        printer.setPageSize(QPageSize(QPageSize::A3));
        return true;
    };
    return access;
}

std::unique_ptr<formdesc::FormModel> formOf(int rows, int columns) {
    auto model = std::make_unique<formdesc::FormModel>();
    model->setNewFormDefaults();
    model->form.rows = rows;
    model->form.columns = columns;
    formdesc::sjis::storeWhole(model->form.title, sizeof model->form.title,
                               formdesc::sjis::fromUtf8("見積書"));
    return model;
}

QString pdfInfo(const QString& pdf, const QString& key) {
    QProcess process;
    process.start(QStringLiteral("pdfinfo"), {pdf});
    process.waitForFinished(30000);
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

class SheetDialogTest : public testing::Test {
  protected:
    QString pdfPath() const { return QString::fromStdString((m_folder.path() / "sheet.pdf").string()); }

    formdesc::RecordingMessageSink messages;

  private:
    TempFolder m_folder;
    formdesc::ScopedMessageSink m_sink{messages};
};

} // namespace

// The kinds the form fits are enabled, the one it needs is selected; the
// name is the form's title and the date today's.
TEST_F(SheetDialogTest, DesignDialogStartsFromTheForm) {
    const struct {
        int rows, columns;
        bool landscapeEnabled, portraitEnabled, portraitChecked;
    } rows[] = {{60, 180, true, false, false},
                {80, 100, false, true, true},
                {80, 140, false, false, true},
                {66, 130, true, true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.rows << " x " << row.columns);
        const auto model = formOf(row.rows, row.columns);
        DesignSheetDialog dialog(*model, {}, fakeAccess(QStringLiteral("TESTQ")));
        EXPECT_EQ(dialog.landscapeButton()->isEnabled(), row.landscapeEnabled);
        EXPECT_EQ(dialog.portraitButton()->isEnabled(), row.portraitEnabled);
        EXPECT_EQ(dialog.portraitButton()->isChecked(), row.portraitChecked);
        EXPECT_EQ(dialog.landscapeButton()->isChecked(), !row.portraitChecked);
        EXPECT_EQ(dialog.nameEdit()->text(), QStringLiteral("見積書"));
        EXPECT_EQ(dialog.dateEdit()->text(), QDate::currentDate().toString(QStringLiteral("yyyy/MM/dd")));
        EXPECT_EQ(dialog.printerName(), QStringLiteral("TESTQ"));
        EXPECT_FALSE(dialog.frameFieldsBox()->isChecked());
        EXPECT_FALSE(dialog.noFillsBox()->isChecked());
    }
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(SheetDialogTest, EditsKeepTheirByteLimitsAndCaptionsNameTheControls) {
    const auto model = formOf(60, 80);
    DesignSheetDialog dialog(*model, {}, fakeAccess(QStringLiteral("TESTQ")));
    const struct {
        QLineEdit* edit;
        const char* name;
        int limit;
    } rows[] = {
        {dialog.nameEdit(), "名称", 30}, {dialog.dateEdit(), "日付", 10}, {dialog.remarksEdit(), "備考", 60}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.edit->accessibleName(), QString::fromUtf8(row.name));
        row.edit->clear();
        QTest::keyClicks(row.edit, QString(row.limit + 5, 'a'));
        EXPECT_EQ(row.edit->text().size(), row.limit);
    }
    EXPECT_EQ(dialog.landscapeButton()->accessibleName(), QStringLiteral("横型（66行×200桁）"));
    EXPECT_EQ(dialog.portraitButton()->accessibleName(), QStringLiteral("縦型（100行×132桁）"));
    EXPECT_EQ(dialog.frameFieldsBox()->accessibleName(), QStringLiteral("ﾌｨｰﾙﾄﾞを枠で囲む"));
    EXPECT_EQ(dialog.noFillsBox()->accessibleName(), QStringLiteral("網掛けを印刷しない"));
    EXPECT_EQ(dialog.printerButton()->text(), QStringLiteral("ﾌﾟﾘﾝﾀの設定(&S)..."));

    // The label that shows the printer is announced by the printer's name,
    // and the caption before it is its label.
    QLabel* shown = nullptr;
    for (QLabel* label : dialog.findChildren<QLabel*>())
        if (label->text() == QStringLiteral("TESTQ"))
            shown = label;
    ASSERT_TRUE(shown);
    QAccessibleInterface* printer = QAccessible::queryAccessibleInterface(shown);
    EXPECT_EQ(printer->text(QAccessible::Name), QStringLiteral("TESTQ"));
    const auto labels = printer->relations(QAccessible::Label);
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0].first->text(QAccessible::Name), QStringLiteral("プリンタ："));
}

TEST_F(SheetDialogTest, EntryDialogStartsWithNeitherKindSelected) {
    EntrySheetDialog dialog(fakeAccess(QStringLiteral("TESTQ")));
    EXPECT_TRUE(dialog.landscapeButton()->isEnabled());
    EXPECT_TRUE(dialog.portraitButton()->isEnabled());
    EXPECT_FALSE(dialog.landscapeButton()->isChecked());
    EXPECT_FALSE(dialog.portraitButton()->isChecked());
    EXPECT_EQ(dialog.kind(), editor::kSheetLandscape);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("記入用紙の印刷"));
}

TEST_F(SheetDialogTest, FormThatFitsNeitherKindLeavesOkWithoutEffect) {
    const auto model = formOf(80, 140);
    DesignSheetDialog dialog(*model, {}, fakeAccess(QStringLiteral("TESTQ"), pdfPath()));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_FALSE(QFile::exists(pdfPath()));
}

QString pdfText(const QString& pdf) {
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Without any queue both dialogs name "PDF ファイル" as their printer, say
// nothing else, and OK asks for the file in the print dialog: cancelled, the
// dialog stays; chosen, the sheet is written there.
TEST_F(SheetDialogTest, NoPrinterPrintsToAPdfFile) {
    const auto model = formOf(60, 80);
    const struct {
        bool design;
        const char* text; // a word of the sheet that pdftotext reads back
    } rows[] = {{true, "見積書"}, {false, "名称："}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        messages.messages.clear();
        QFile::remove(pdfPath());
        int asked = 0;
        bool answer = false;
        SheetPrinterAccess access = fakeAccess({}, pdfPath());
        access.choosePrinter = [&asked, &answer, choose = access.choosePrinter](QPrinter& printer,
                                                                                QWidget* w) {
            ++asked;
            return answer && choose(printer, w);
        };
        std::unique_ptr<SheetDialog> dialog;
        if (row.design)
            dialog = std::make_unique<DesignSheetDialog>(*model, std::filesystem::path{}, access);
        else
            dialog = std::make_unique<EntrySheetDialog>(access);
        EXPECT_FALSE(dialog->hasDefaultPrinter());
        EXPECT_EQ(dialog->printerName(), QStringLiteral("PDF ファイル"));
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        QTest::qWait(50);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_TRUE(messages.messages.empty());

        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        EXPECT_EQ(asked, 1);
        EXPECT_TRUE(dialog->isVisible());
        EXPECT_FALSE(QFile::exists(pdfPath()));

        answer = true;
        QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        EXPECT_EQ(asked, 2);
        EXPECT_EQ(dialog->result(), QDialog::Accepted);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_TRUE(messages.messages.empty());
        ASSERT_TRUE(QFile::exists(pdfPath()));
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext is not installed";
        EXPECT_TRUE(pdfText(pdfPath()).contains(QString::fromUtf8(row.text)));
    }
}

// The default queue vanished before OK: the sheet's own failure, and the dialog ends.
TEST_F(SheetDialogTest, PrinterThatCannotBeOpenedIsReported) {
    const auto model = formOf(60, 80);
    const struct {
        std::unique_ptr<SheetDialog> dialog;
        const char* text;
    } rows[] = {{std::make_unique<DesignSheetDialog>(*model, std::filesystem::path{}, fakeAccess("GONE")),
                 "設計用紙の印刷に失敗しました"},
                {std::make_unique<EntrySheetDialog>(fakeAccess("GONE")), "記入用紙の印刷に失敗しました"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        messages.messages.clear();
        row.dialog->show();
        QTest::mouseClick(row.dialog->okButton(), Qt::LeftButton);
        EXPECT_EQ(row.dialog->result(), QDialog::Accepted);
        EXPECT_FALSE(row.dialog->isVisible());
        ASSERT_EQ(messages.messages.size(), 1u);
        EXPECT_EQ(messages.messages[0].caption, "エラー");
        EXPECT_EQ(messages.messages[0].text, row.text);
    }
}

// "Print to file" chosen in the print dialog writes a PDF; the paper chosen
// there (A3) becomes A4, turned to the kind.
TEST_F(SheetDialogTest, PrintToFileWritesTheSheet) {
    const auto model = formOf(60, 80);
    DesignSheetDialog dialog(*model, {}, fakeAccess(QStringLiteral("TESTQ"), pdfPath()));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QTest::mouseClick(dialog.printerButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.printerName(), pdfPath());
    dialog.nameEdit()->setText(QStringLiteral("見本"));
    // On the indicator: the button is wider than its caption.
    QTest::mouseClick(dialog.portraitButton(), Qt::LeftButton, {},
                      QPoint(8, dialog.portraitButton()->height() / 2));
    EXPECT_EQ(dialog.kind(), editor::kSheetPortrait);
    QTest::mouseClick(dialog.okButton(), Qt::LeftButton);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(messages.messages.empty());
    ASSERT_TRUE(QFile::exists(pdfPath()));
    if (QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty())
        GTEST_SKIP() << "pdfinfo is not installed";
    EXPECT_EQ(pdfInfo(pdfPath(), QStringLiteral("Title")), QStringLiteral("設計用紙 [見本]"));
    EXPECT_EQ(pdfInfo(pdfPath(), QStringLiteral("Page size")), QStringLiteral("595.276 x 841.89 pts (A4)"));
}
