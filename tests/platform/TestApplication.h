#pragma once

#include "platform/ApplicationGuard.h"

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

#include <string>

// Fonts, painters and message boxes need one application object for the whole
// test program; the first test that needs it creates it.
namespace platformtest {

inline void ensureApplication() {
    static platform::ApplicationGuard guard;
}

// UTF-8 text as the Shift-JIS bytes a form would hold.
inline std::string sjis(const char* utf8) {
    QStringEncoder encoder("windows-31j");
    const QByteArray bytes = encoder.encode(QString::fromUtf8(utf8));
    return std::string(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace platformtest
