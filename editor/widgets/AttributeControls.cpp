#include "editor/widgets/AttributeControls.h"

#include "formdesc/ShiftJis.h"
#include "platform/FontTable.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace editor {

namespace {

QColor toQColor(formdesc::ColorRef color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

std::optional<formdesc::ColorRef> standardColorDialog(formdesc::ColorRef initial, QWidget* parent) {
    const QColor chosen = QColorDialog::getColor(toQColor(initial), parent);
    if (!chosen.isValid())
        return std::nullopt;
    return formdesc::rgb(chosen.red(), chosen.green(), chosen.blue());
}

std::optional<QFont> standardFontDialog(const FontRequest& request, QWidget* parent) {
    QFont start(request.family);
    start.setPointSizeF(request.tenths / 10.0);
    QFontDialog dialog(start, parent);
    // A field has one colour and no underline or strike-out of its own:
    // the dialog's effects would be choices that go nowhere.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        if (!group->findChildren<QCheckBox*>().isEmpty())
            group->hide();
    // Qt's sample is Latin text in a box its layout leaves no height: a form's
    // text is Japanese, and the sample must be seen in the face chosen.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>())
        for (QLineEdit* sample : group->findChildren<QLineEdit*>()) {
            sample->setText(QStringLiteral("あア亜Aa1"));
            sample->setMinimumHeight(QFontMetrics(start).height() * 2);
        }
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

int screenDpiY(const QWidget* widget) {
    if (widget)
        return widget->logicalDpiY();
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? qRound(screen->logicalDotsPerInchY()) : 96;
}

std::array<char, 36> storedFaceName(std::string_view sjisText) {
    std::array<char, 36> name{};
    const std::string text(sjisText);
    formdesc::copyText(name.data(), name.size(), text.c_str());
    return name;
}

} // namespace

void paintColorSwatch(QPainter& painter, const QRect& rect, formdesc::ColorRef color, bool enabled) {
    const QColor white(255, 255, 255);
    const QColor fill = enabled ? toQColor(color) : QColor(192, 192, 192);
    const QColor topLeft = enabled ? white : QColor(128, 128, 128);
    painter.fillRect(rect, fill);
    // A 3-D frame one pixel wide: the top and left edges stop one pixel short
    // of the far corners, which belong to the bottom and right edges.
    const int x = rect.x();
    const int y = rect.y();
    const int w = rect.width();
    const int h = rect.height();
    painter.fillRect(QRect(x, y, w - 1, 1), topLeft);
    painter.fillRect(QRect(x, y, 1, h - 1), topLeft);
    painter.fillRect(QRect(x + w - 1, y, 1, h), white);
    painter.fillRect(QRect(x, y + h - 1, w, 1), white);
}

void paintBitmapButton(QPainter& painter, const QRect& rect, const QPixmap& picture) {
    painter.drawPixmap(rect.topLeft(), picture);
}

void rejectInput(QLineEdit& edit) {
    QApplication::beep();
    // The caret goes to the end of the selection, and the edit keeps its
    // caret in view.
    edit.selectAll();
    edit.setFocus(Qt::OtherFocusReason);
}

AttributeDialogs AttributeDialogs::standard() {
    return AttributeDialogs{standardColorDialog, standardFontDialog};
}

bool chooseColor(formdesc::ColorRef& ownerColor, QWidget& button, const AttributeDialogs& dialogs) {
    if (!dialogs.color)
        return false;
    const std::optional<formdesc::ColorRef> chosen = dialogs.color(ownerColor, &button);
    if (!chosen)
        return false;
    ownerColor = *chosen;
    button.update();
    return true;
}

std::array<char, 36> faceNameForFamily(const QString& family, std::string_view startFace) {
    if (family.compare(platform::FontTable::familyFor(startFace), Qt::CaseInsensitive) == 0)
        return storedFaceName(startFace);
    for (const platform::FontTable::Face& face : platform::FontTable::faces())
        if (family.compare(QString::fromUtf8(face.family.data(), qsizetype(face.family.size())),
                           Qt::CaseInsensitive) == 0)
            return storedFaceName(formdesc::sjis::fromUtf8(face.windowsName));
    return storedFaceName(formdesc::sjis::fromUtf8(family.toStdString()));
}

std::optional<FontChoice> chooseFont(std::string_view sjisFace, int tenths, QWidget* parent,
                                     const AttributeDialogs& dialogs) {
    if (!dialogs.font)
        return std::nullopt;
    const int dpiY = screenDpiY(parent);
    const FontRequest request{platform::FontTable::familyFor(sjisFace), tenths, fontCellHeight(dpiY, tenths)};
    const std::optional<QFont> chosen = dialogs.font(request, parent);
    if (!chosen)
        return std::nullopt;
    FontChoice choice;
    choice.faceName = faceNameForFamily(chosen->family(), sjisFace);
    // A font given in pixels goes back through the same rule the other way.
    if (chosen->pointSizeF() > 0)
        choice.tenths = qRound(chosen->pointSizeF() * 10);
    else
        choice.tenths = chosen->pixelSize() * 720 / dpiY;
    return choice;
}

} // namespace editor
