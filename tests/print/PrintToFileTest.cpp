#include "runtime/print/PPModule.h"
#include "runtime/print/PrinterChooser.h"
#include "tests/print/PrintFixture.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPrintDialog>
#include <QProcess>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the real print dialog as a user would: picks the PDF file entry of
// the printer list (the only one without a print server), types the file
// name and confirms.
class DialogFileChooser {
  public:
    explicit DialogFileChooser(QString path) : m_path(std::move(path)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            m_timer.stop();
            for (QComboBox* list : dialog->findChildren<QComboBox*>()) {
                const int entry = list->findText(QStringLiteral("PDF"), Qt::MatchContains);
                if (entry >= 0) {
                    m_fileOffered = true;
                    list->setCurrentIndex(entry);
                }
            }
            for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
                if (edit->objectName() == QStringLiteral("filename"))
                    edit->setText(m_path);
            if (m_fileOffered)
                dialog->accept();
            else
                dialog->reject();
        });
        m_timer.start(10);
    }
    bool fileOffered() const { return m_fileOffered; }

  private:
    QString m_path;
    QTimer m_timer;
    bool m_fileOffered = false;
};

} // namespace

// Without any printer the print dialog still offers a PDF file; the file
// chosen there holds the same bytes as zrk print --pdf writes for the same
// form and data.
TEST(PrintToFile, DialogFileIsTheCommandLinePdf) {
    const ScopedEnv epoch("SOURCE_DATE_EPOCH", "0");
    TempFolder folder;
    const QString chosen = QString::fromStdString((folder.path() / "chosen.pdf").string());
    const QString direct = QString::fromStdString((folder.path() / "direct.pdf").string());
    const std::string form = printtest::testData("geometry.zrk");
    printtest::DataLines data(90);

    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scoped(messages);
    DialogFileChooser chooser(chosen);
    runtime::PrinterRoad road;
    road.dialogAllowed = true;
    runtime::PPModule job(form, data.path(), nullptr);
    EXPECT_EQ(job.run(runtime::printerChooser(road)), runtime::kPrintDone);
    EXPECT_TRUE(chooser.fileOffered());
    EXPECT_TRUE(messages.messages.empty());
    EXPECT_EQ(job.pagesPrinted(), 2);

    QProcess zrk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SOURCE_DATE_EPOCH"), QStringLiteral("0"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    zrk.setProcessEnvironment(env);
    zrk.start(QStringLiteral(ZRK_BINARY_DIR "/runtime/cli/zrk"),
              {QStringLiteral("print"), QString::fromStdString(form), QString::fromStdString(data.path()),
               QStringLiteral("--pdf"), direct, QStringLiteral("--quiet")});
    ASSERT_TRUE(zrk.waitForFinished(60000));
    ASSERT_EQ(zrk.exitCode(), 0) << zrk.readAllStandardError().toStdString();

    const QByteArray expected = fileBytes(direct);
    ASSERT_FALSE(expected.isEmpty());
    EXPECT_TRUE(fileBytes(chosen) == expected) << "the dialog's PDF differs from zrk print --pdf";
}
