#pragma once

#include <QDialog>

// The about box: the program icon, the version line, a notice and an OK
// button that closes it.
namespace editor {

class AboutBox : public QDialog {
    Q_OBJECT

  public:
    explicit AboutBox(QWidget* parent = nullptr);

    static QString versionText();
    static QString noticeText();
};

} // namespace editor
