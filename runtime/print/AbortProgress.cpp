#include "runtime/print/AbortProgress.h"

#include "runtime/print/AbortDialog.h"

#include <QCoreApplication>

namespace runtime {

AbortProgress::AbortProgress() = default;

AbortProgress::~AbortProgress() = default;

void AbortProgress::open() {
    m_dialog = std::make_unique<AbortDialog>();
    m_dialog->show();
    m_dialog->centreOnScreen();
    m_dialog->raise();
    m_dialog->activateWindow();
    QCoreApplication::processEvents();
}

void AbortProgress::showPage(int pageNumber) {
    if (m_dialog)
        m_dialog->showPage(pageNumber);
}

bool AbortProgress::stopRequested() {
    if (!m_dialog)
        return false;
    QCoreApplication::processEvents();
    return m_dialog->stopRequested();
}

void AbortProgress::close() {
    if (!m_dialog)
        return;
    m_dialog->hide();
    m_dialog.reset();
}

} // namespace runtime
