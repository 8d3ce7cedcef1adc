#pragma once

#include <QObject>

class QApplication;
class QFileDialog;

// Qt's own file dialog (on a desktop without a native one) opens at a size
// that cuts the file list's date column off. Fitted here: the dialog wide
// enough for the name, size, type and date columns, each as wide as what it
// shows, once on its first showing and again when its folder has been read.
namespace editor {

class FileDialogFit : public QObject {
    Q_OBJECT

  public:
    // Fits every file dialog the application shows from now on.
    static void install(QApplication& app);
    static void fit(QFileDialog& dialog);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    explicit FileDialogFit(QObject* parent) : QObject(parent) {}
};

} // namespace editor
