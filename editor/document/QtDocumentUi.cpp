#include "editor/document/QtDocumentUi.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace editor {

QtDocumentUi::QtDocumentUi(QWidget* dialogParent) : m_parent(dialogParent) {}

QString QtDocumentUi::fileFilter() {
    return QStringLiteral("帳票ﾊﾟﾗﾒｰﾀ(*.zrk);;全ﾌｧｲﾙ(*)");
}

QString QtDocumentUi::dialogFolder(const QString& startFolder) {
    return !startFolder.isEmpty() && QFileInfo(startFolder).isDir() ? startFolder : QDir::homePath();
}

QString QtDocumentUi::chooseFileToOpen(const QString& startFolder) {
    // Only existing files can be chosen in open mode.
    return QFileDialog::getOpenFileName(m_parent, QStringLiteral("開く"), dialogFolder(startFolder),
                                        fileFilter());
}

QString QtDocumentUi::chooseFileToSave(const QString& startFolder, const QString& currentName) {
    // No default extension: a name typed without one is used as typed. The
    // dialog asks before an existing file is replaced.
    const QString folder = dialogFolder(startFolder);
    const QString start = currentName.isEmpty() ? folder : QDir(folder).filePath(currentName);
    return QFileDialog::getSaveFileName(m_parent, QStringLiteral("名前を付けて保存"), start, fileFilter());
}

QString QtDocumentUi::chooseDataFileToSave(const QString& startFolder, const QString& suggestedName) {
    const QString start = QDir(dialogFolder(startFolder)).filePath(suggestedName);
    return QFileDialog::getSaveFileName(m_parent, QStringLiteral("サンプルデータ"), start,
                                        QStringLiteral("CSV ﾌｧｲﾙ(*.csv);;全ﾌｧｲﾙ(*)"));
}

SaveAnswer QtDocumentUi::askToSaveChanges() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("確認"),
                    QStringLiteral("修正中のファイルを保存しますか"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, m_parent);
    box.setDefaultButton(QMessageBox::Yes);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return SaveAnswer::Yes;
    case QMessageBox::No:
        return SaveAnswer::No;
    default:
        return SaveAnswer::Cancel;
    }
}

} // namespace editor
