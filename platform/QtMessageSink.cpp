#include "platform/QtMessageSink.h"

#include <QApplication>
#include <QMessageBox>

namespace platform {

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

bool QtMessageSink::canShowWindows() {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return false;
    const QString platform = QGuiApplication::platformName();
    return platform != QLatin1String("offscreen") && platform != QLatin1String("minimal");
}

void QtMessageSink::show(std::string_view caption, std::string_view text, formdesc::MessageIcon icon) {
    if (!canShowWindows()) {
        m_fallback.show(caption, text, icon);
        return;
    }
    QMessageBox box(toQtIcon(icon), fromUtf8(caption), fromUtf8(text), QMessageBox::Ok);
    adopt(box);
    box.exec();
}

} // namespace platform
