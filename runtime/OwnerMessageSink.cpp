#include "OwnerMessageSink.h"

#include "OwnerWindow.h"
#include "QtMessageSink.h"

#include <QMessageBox>

namespace runtime {

namespace {

QMessageBox::Icon toQtIcon(formdesc::MessageIcon icon) {
    switch (icon) {
    case formdesc::MessageIcon::Exclamation:
        return QMessageBox::Warning;
    case formdesc::MessageIcon::Information:
        return QMessageBox::Information;
    case formdesc::MessageIcon::Question:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

} // namespace

void OwnerMessageSink::show(std::string_view caption, std::string_view text, formdesc::MessageIcon icon) {
    if (!platform::QtMessageSink::canShowWindows()) {
        m_fallback.show(caption, text, icon);
        return;
    }
    QMessageBox box(toQtIcon(icon), fromUtf8(caption), fromUtf8(text), QMessageBox::Ok);
    m_owner.adopt(box);
    box.exec();
}

} // namespace runtime
