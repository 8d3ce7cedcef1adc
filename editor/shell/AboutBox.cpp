#include "editor/shell/AboutBox.h"

#include "platform/FontTable.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace editor {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Tabrik"));
    setObjectName(QStringLiteral("aboutBox"));
    // The face is a Windows name; the font table sends it to its stand-in.
    platform::FontTable::installSubstitutions();
    QFont face(QStringLiteral("ＭＳ Ｐゴシック"));
    face.setPointSize(10);
    setFont(face);

    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/shell/pictures/tabrik-32.png")).pixmap(32, 32));
    icon->setAccessibleName(QStringLiteral("Tabrik"));
    auto* version = new QLabel(versionText(), this);
    auto* notice = new QLabel(noticeText(), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText(QStringLiteral("OK"));
    ok->setAccessibleName(QStringLiteral("OK"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(version, 0, 1);
    layout->addWidget(notice, 1, 1);
    layout->addWidget(buttons, 0, 2, 2, 1, Qt::AlignTop);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString AboutBox::versionText() {
    return QStringLiteral("Tabrik Version 0.2 (VELDOR Version)");
}

QString AboutBox::noticeText() {
    return QStringLiteral("Copyright (C) 2026 Tabrik の開発者たち");
}

} // namespace editor
