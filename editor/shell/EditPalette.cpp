#include "editor/shell/EditPalette.h"

#include "editor/canvas/FormCanvas.h"
#include "editor/shell/EditPaletteRules.h"
#include "editor/widgets/AttributeLists.h"
#include "editor/widgets/BitmapButton.h"
#include "editor/widgets/ColorButton.h"
#include "editor/widgets/NamedComboBox.h"
#include "formdesc/FormWriter.h"
#include "platform/FontTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionComboBox>

#include <algorithm>

// The pictures live in a static library: their registration has to be asked
// for by name, outside any namespace.
static void loadPalettePictures() {
    Q_INIT_RESOURCE(shell);
}

namespace editor {

namespace {

// A combo box wide enough for the longest of the texts it will ever hold, so
// that refilling it never changes the palette's layout.
void fitWidthTo(QComboBox& combo, const QStringList& texts) {
    int widest = 0;
    for (const QString& text : texts)
        widest = std::max(widest, combo.fontMetrics().horizontalAdvance(text));
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.editable = combo.isEditable();
    const QSize contents(widest, combo.fontMetrics().height());
    combo.setMinimumWidth(
        combo.style()->sizeFromContents(QStyle::CT_ComboBox, &option, contents, &combo).width());
}

// A sunken one-line display, wide enough for the sample text.
QLabel* makeDisplay(QWidget& parent, const QString& name, const QString& sample, Qt::Alignment alignment) {
    auto* display = new QLabel(&parent);
    display->setAccessibleName(name);
    display->setFrameShape(QFrame::Panel);
    display->setFrameShadow(QFrame::Sunken);
    display->setAlignment(alignment | Qt::AlignVCenter);
    const int frame =
        2 * display->frameWidth() + 2 * display->margin() + display->fontMetrics().averageCharWidth();
    display->setMinimumWidth(display->fontMetrics().horizontalAdvance(sample) + frame);
    return display;
}

// The current face name, up to its NUL (or the whole array when it has none).
std::string_view faceOf(const CurrentAttributes& attributes) {
    const auto& name = attributes.fontName;
    return {name.data(), std::size_t(std::find(name.begin(), name.end(), '\0') - name.begin())};
}

QString cellText(int value) {
    return QString::asprintf("%3d", value);
}

} // namespace

EditPalette::EditPalette(FormCanvas& canvas, QWidget* parent)
    : QToolBar(QStringLiteral("編集パレット"), parent), m_canvas(canvas),
      m_dialogs(AttributeDialogs::standard()) {
    loadPalettePictures();
    setObjectName(QStringLiteral("editPalette"));
    setAccessibleName(windowTitle());
    setAllowedAreas(Qt::AllToolBarAreas);
    setMovable(true);
    setFloatable(true);
    // Shown and hidden from the View menu only, like the other bars.
    toggleViewAction()->setVisible(false);

    auto* body = new QWidget(this);
    body->setObjectName(QStringLiteral("editPaletteBody"));
    buildControls(*body);
    addWidget(body);

    m_shownMode = 0;
    showToolMode(m_canvas.toolMode());
    showAttributes();
    connectCanvas();
}

EditPalette::~EditPalette() = default;

QPixmap EditPalette::picture(Picture which) {
    loadPalettePictures();
    switch (which) {
    case Picture::FontNormal:
        return QPixmap(QStringLiteral(":/shell/pictures/font-normal.png"));
    case Picture::FontPressed:
        return QPixmap(QStringLiteral(":/shell/pictures/font-pressed.png"));
    case Picture::MagnifierOff:
        return QPixmap(QStringLiteral(":/shell/pictures/magnifier-off.png"));
    case Picture::MagnifierOn:
        return QPixmap(QStringLiteral(":/shell/pictures/magnifier-on.png"));
    }
    return {};
}

void EditPalette::buildControls(QWidget& body) {
    using namespace palette;
    auto* grid = new QGridLayout(&body);
    grid->setContentsMargins(2, 1, 2, 1);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(2);

    // The cell displays: "開始 [row] 行 [column] 列" above "終了 ...".
    const QString rowLabel = QStringLiteral("行");
    const QString columnLabel = QStringLiteral("列");
    int row = 0;
    for (const QString& caption : {QStringLiteral("開始"), QStringLiteral("終了")}) {
        grid->addWidget(new QLabel(caption, &body), row, 0);
        QLabel* rowDisplay = addCellDisplay(*grid, row, 1, caption + rowLabel);
        grid->addWidget(new QLabel(rowLabel, &body), row, 2);
        QLabel* columnDisplay = addCellDisplay(*grid, row, 3, caption + columnLabel);
        grid->addWidget(new QLabel(columnLabel, &body), row, 4);
        (row == 0 ? m_startRow : m_endRow) = rowDisplay;
        (row == 0 ? m_startColumn : m_endColumn) = columnDisplay;
        ++row;
    }

    CurrentAttributes& attributes = m_canvas.attributes();
    auto* first = new QHBoxLayout;
    m_fontName =
        makeDisplay(body, QStringLiteral("フォント名"), QStringLiteral("ＭＳ Ｐゴシック"), Qt::AlignLeft);
    m_fontSize = makeDisplay(body, QStringLiteral("文字サイズ"), QStringLiteral("000.0"), Qt::AlignRight);
    first->addWidget(m_fontName);
    first->addWidget(m_fontSize);
    m_fontButton = new BitmapButton(
        [this] { return picture(m_fontDialogOpen ? Picture::FontPressed : Picture::FontNormal); }, &body);
    m_fontButton->setToolTip(kFontTip);
    m_fontButton->setAccessibleName(kFontTip);
    connect(m_fontButton, &QAbstractButton::clicked, this, &EditPalette::chooseFontFromDialog);
    first->addWidget(m_fontButton);
    m_textColor = addColorButton(*first, QStringLiteral("文字"), kTextColorTip, attributes.textColor);
    m_lineColor = addColorButton(*first, QStringLiteral("線色"), kLineColorTip, attributes.lineColor);
    m_meshColor = addColorButton(*first, QStringLiteral("中塗り"), kMeshColorTip, attributes.meshColor);
    first->addStretch(1);
    grid->addLayout(first, 0, 5);

    auto* second = new QHBoxLayout;
    m_zoom = addList(*second, kZoomTip);
    m_zoom->setEditable(true);
    // Typed text only chooses an entry of the list; it never becomes one.
    m_zoom->setInsertPolicy(QComboBox::NoInsert);
    m_zoom->lineEdit()->setAccessibleName(kZoomTip);
    fillCombo(*m_zoom, AttributeList::Zoom);
    fitWidthTo(*m_zoom, attributeTexts(AttributeList::Zoom));
    connect(m_zoom, &QComboBox::activated, this, &EditPalette::requestZoom);

    m_magnifierButton = new BitmapButton(
        [this] { return picture(m_canvas.magnifierMode() ? Picture::MagnifierOn : Picture::MagnifierOff); },
        &body);
    m_magnifierButton->setCheckable(true);
    m_magnifierButton->setToolTip(kMagnifierTip);
    m_magnifierButton->setAccessibleName(kMagnifierTip);
    // Toggled, not clicked: assistive technology toggles without a click.
    connect(m_magnifierButton, &QAbstractButton::toggled, this, [this](bool on) {
        if (on == m_canvas.magnifierMode())
            return;
        m_canvas.setMagnifierMode(on);
        m_magnifierButton->update();
        returnFocus();
    });
    second->addWidget(m_magnifierButton);

    m_lineType = addList(*second, kLineTypeTip);
    fitWidthTo(*m_lineType, attributeTexts(AttributeList::LineType));
    connect(m_lineType, &QComboBox::activated, this, [this](int position) {
        m_canvas.attributes().lineType = codeAt(AttributeList::LineType, position).value_or(1);
        returnFocus();
    });
    m_lineWidth = addList(*second, kLineWidthTip);
    fitWidthTo(*m_lineWidth, attributeTexts(AttributeList::LineWidth));
    connect(m_lineWidth, &QComboBox::activated, this, [this](int position) {
        m_canvas.attributes().lineWidth = codeAt(AttributeList::LineWidth, position).value_or(3);
        returnFocus();
    });
    m_kind = addList(*second, QString());
    fitWidthTo(*m_kind, attributeTexts(AttributeList::SelectionFilter) +
                            attributeTexts(AttributeList::LineCourse) +
                            attributeTexts(AttributeList::MeshKind));
    connect(m_kind, &QComboBox::activated, this, [this](int position) {
        palette::applyKindChoice(m_shownMode, position, m_canvas.attributes());
        returnFocus();
    });
    second->addStretch(1);
    grid->addLayout(second, 1, 5);
}

QLabel* EditPalette::addCellDisplay(QGridLayout& grid, int row, int column, const QString& name) {
    QLabel* display = makeDisplay(*grid.parentWidget(), name, QStringLiteral("000"), Qt::AlignRight);
    grid.addWidget(display, row, column);
    return display;
}

ColorButton* EditPalette::addColorButton(QLayout& layout, const QString& caption, const QString& tooltip,
                                         formdesc::ColorRef& color) {
    QWidget* body = layout.parentWidget();
    auto* label = new QLabel(caption, body);
    // A gap between one button and the next caption, in the font's own units.
    label->setIndent(label->fontMetrics().averageCharWidth() / 2);
    auto* button = new ColorButton([&color] { return color; }, body);
    button->setToolTip(tooltip);
    button->setAccessibleName(tooltip);
    label->setBuddy(button);
    connect(button, &QAbstractButton::clicked, this,
            [this, &color, button] { chooseColorOf(color, *button); });
    layout.addWidget(label);
    layout.addWidget(button);
    return button;
}

QComboBox* EditPalette::addList(QLayout& layout, const QString& tooltip) {
    auto* combo = new NamedComboBox(layout.parentWidget());
    combo->setToolTip(tooltip);
    combo->setAccessibleName(tooltip);
    layout.addWidget(combo);
    return combo;
}

void EditPalette::connectCanvas() {
    connect(&m_canvas, &FormCanvas::toolModeChanged, this, &EditPalette::showToolMode);
    connect(&m_canvas, &FormCanvas::zoomChanged, this,
            [this](int percent) { m_zoom->setEditText(palette::zoomText(percent)); });
    connect(&m_canvas, &FormCanvas::magnifierModeChanged, this, [this](bool on) {
        m_magnifierButton->setChecked(on);
        m_magnifierButton->update();
    });
    connect(&m_canvas, &FormCanvas::startCellChanged, this, [this](int row, int column) {
        m_startRow->setText(cellText(row));
        m_startColumn->setText(cellText(column));
    });
    connect(&m_canvas, &FormCanvas::endCellChanged, this, [this](int row, int column) {
        m_endRow->setText(cellText(row));
        m_endColumn->setText(cellText(column));
    });
    connect(&m_canvas, &FormCanvas::endCellBlanked, this, [this] {
        m_endRow->clear();
        m_endColumn->clear();
    });
}

void EditPalette::showAttributes() {
    const CurrentAttributes& attributes = m_canvas.attributes();
    const int zoomPosition = positionOf(AttributeList::Zoom, m_canvas.zoom());
    m_zoom->setCurrentIndex(zoomPosition);
    if (zoomPosition < 0)
        m_zoom->setEditText(palette::zoomText(m_canvas.zoom()));
    showFont();
    fillCombo(*m_lineType, AttributeList::LineType, attributes.lineType);
    fillCombo(*m_lineWidth, AttributeList::LineWidth, attributes.lineWidth);
    if (m_kind->isEnabled())
        m_kind->setCurrentIndex(palette::kindListPosition(m_shownMode, attributes));
    m_magnifierButton->setChecked(m_canvas.magnifierMode());
    for (QWidget* button : {static_cast<QWidget*>(m_textColor), static_cast<QWidget*>(m_lineColor),
                            static_cast<QWidget*>(m_meshColor), static_cast<QWidget*>(m_magnifierButton)})
        button->update();
}

void EditPalette::showToolMode(int mode) {
    const std::optional<AttributeList> list = palette::kindListFor(mode);
    if (list) {
        m_kind->setEnabled(true);
        if (mode != m_shownMode)
            fillCombo(*m_kind, *list);
        m_kind->setCurrentIndex(palette::kindListPosition(mode, m_canvas.attributes()));
    } else {
        m_kind->setEnabled(false);
    }
    const QString tooltip = palette::kindListTooltip(mode);
    m_kind->setToolTip(tooltip);
    m_kind->setAccessibleName(tooltip);
    m_shownMode = mode;
}

void EditPalette::showFont() {
    const CurrentAttributes& attributes = m_canvas.attributes();
    m_fontName->setText(platform::FontTable::faceNameText(faceOf(attributes)));
    m_fontSize->setText(QString::fromStdString(formdesc::formatTenths(attributes.fontSize)));
}

void EditPalette::requestZoom(int position) {
    const int percent = palette::zoomRequestFor(position);
    if (percent == m_canvas.zoom())
        return;
    // Posted: the canvas takes it (and the focus) once the list has closed.
    FormCanvas* canvas = &m_canvas;
    QMetaObject::invokeMethod(
        canvas, [canvas, percent] { canvas->requestZoom(percent); }, Qt::QueuedConnection);
}

void EditPalette::chooseFontFromDialog() {
    CurrentAttributes& attributes = m_canvas.attributes();
    m_fontDialogOpen = true;
    m_fontButton->repaint();
    const std::string face(faceOf(attributes));
    if (const std::optional<FontChoice> choice = chooseFont(face, attributes.fontSize, this, m_dialogs)) {
        attributes.fontName = choice->faceName;
        attributes.fontSize = choice->tenths;
        showFont();
    }
    m_fontDialogOpen = false;
    m_fontButton->repaint();
    returnFocus();
}

void EditPalette::chooseColorOf(formdesc::ColorRef& color, ColorButton& button) {
    chooseColor(color, button, m_dialogs);
    returnFocus();
}

void EditPalette::returnFocus() {
    m_canvas.setFocus();
}

} // namespace editor
