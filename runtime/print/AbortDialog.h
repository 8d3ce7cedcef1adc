#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// "印刷の中断": shows which page is being printed and lets the user stop.
// The stop button and the close box both set the stop flag and hide the
// dialog; the print job looks at the flag before each page.
namespace runtime {

class AbortDialog : public QDialog {
  public:
    AbortDialog();

    // "%d ﾍﾟｰｼﾞ目を印刷しています。" with the page about to be printed.
    void showPage(int pageNumber);
    bool stopRequested() const { return m_stopRequested; }

    QString progressText() const;
    QPushButton* stopButton() const { return m_stopButton; }

    // Puts the dialog in the middle of its screen.
    void centreOnScreen();

  protected:
    void reject() override;

  private:
    QLabel* m_text = nullptr;
    QPushButton* m_stopButton = nullptr;
    bool m_stopRequested = false;
};

} // namespace runtime
