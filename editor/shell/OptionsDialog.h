#pragma once

#include <QDialog>

class QCheckBox;

// "設定": the designer's two options as check boxes, OK and キャンセル. The
// frame applies what OK leaves checked at once and keeps it for the settings
// file.
namespace editor {

class OptionsDialog : public QDialog {
    Q_OBJECT

  public:
    OptionsDialog(bool modeKeep, bool updateMove, QWidget* parent = nullptr);

    // A drawing tool stays chosen after an item is drawn.
    bool modeKeep() const;
    // The property pages store the shown item before stepping to another.
    bool updateMove() const;

  private:
    QCheckBox* m_modeKeep = nullptr;
    QCheckBox* m_updateMove = nullptr;
};

} // namespace editor
