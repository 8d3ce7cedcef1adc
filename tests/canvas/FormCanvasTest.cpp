#include "editor/canvas/FormCanvas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QTest>
#include <QWheelEvent>

#include <memory>

#include "formdesc/MessageSink.h"
#include "tests/support/RecordingDocumentUi.h"

using editor::CanvasGeometry;
using editor::FormCanvas;

namespace {

// The new form is B4 landscape with 180 x 60 cells: at 96 dpi a page of
// 1314 x 954 pixels, 2628 x 1908 at 200 %.
constexpr int kNewPageW = 1314;
constexpr int kNewPageH = 954;

class CanvasTest : public testing::Test {
  protected:
    void SetUp() override {
        // A child widget is resized at once, not when the window system answers.
        m_host.resize(800, 800);
        canvas = std::make_unique<FormCanvas>(ui, &m_host);
        canvas->setGeometry(0, 0, 600, 400);
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
        QApplication::processEvents();
    }

    QWidget* viewport() const { return canvas->viewport(); }
    int clientW() const { return viewport()->width(); }
    int clientH() const { return viewport()->height(); }

    void wheel(int notches, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at(50, 50);
        QWheelEvent event(at, viewport()->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport(), &event);
    }

    static void mouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons held) {
        QMouseEvent event(type, at, widget->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(widget, &event);
    }

    static QRect thumbOf(QScrollBar* bar) {
        QStyleOptionSlider option;
        option.initFrom(bar);
        option.orientation = bar->orientation();
        option.state |= bar->orientation() == Qt::Horizontal ? QStyle::State_Horizontal : QStyle::State_None;
        option.minimum = bar->minimum();
        option.maximum = bar->maximum();
        option.sliderPosition = bar->sliderPosition();
        option.sliderValue = bar->value();
        option.singleStep = bar->singleStep();
        option.pageStep = bar->pageStep();
        return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
    }

    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scopedMessages{messages};
    RecordingDocumentUi ui;
    // The canvas goes before the window it lives in.
    QWidget m_host;
    std::unique_ptr<FormCanvas> canvas;
};

TEST_F(CanvasTest, ZoomRequestsAreClampedAndAnnounced) {
    QSignalSpy zoomed(canvas.get(), &FormCanvas::zoomChanged);
    struct Row {
        int requested, expected;
        bool announced;
    };
    const Row rows[] = {
        {120, 120, true}, {120, 120, false}, {30, 50, true}, {250, 200, true}, {75, 75, true}};
    for (const Row& row : rows) {
        zoomed.clear();
        canvas->setZoom(row.requested);
        EXPECT_EQ(canvas->zoom(), row.expected) << row.requested;
        EXPECT_EQ(zoomed.size(), row.announced ? 1 : 0) << row.requested;
    }
    // The whole page on a tiny window is the smallest zoom.
    canvas->setGeometry(0, 0, 60, 60);
    canvas->setZoom(CanvasGeometry::kWholePage);
    EXPECT_EQ(canvas->zoom(), 50);
}

TEST_F(CanvasTest, AFittingPageIsCentredWithoutScrollBars) {
    canvas->setGeometry(0, 0, 790, 700);
    canvas->setZoom(50);
    EXPECT_EQ(canvas->view().offsetX, (clientW() - kNewPageW / 2) / 2);
    EXPECT_EQ(canvas->view().offsetY, 20);
    EXPECT_FALSE(canvas->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(canvas->verticalScrollBar()->isVisible());

    // Nothing scrolls it, not even the wheel.
    wheel(-3);
    EXPECT_EQ(canvas->view().offsetY, 20);
}

TEST_F(CanvasTest, WheelScrollsToTwentyPixelsPastEitherEnd) {
    canvas->setZoom(200);
    ASSERT_TRUE(canvas->verticalScrollBar()->isVisible());
    ASSERT_TRUE(canvas->horizontalScrollBar()->isVisible());
    QScrollBar* bar = canvas->verticalScrollBar();

    wheel(-1); // three lines of 1 % of the page each
    EXPECT_EQ(canvas->view().offsetY, 20 - 3 * ((2 * kNewPageH + 99) / 100));
    wheel(-100);
    EXPECT_EQ(canvas->view().offsetY, clientH() - 20 - 2 * kNewPageH);
    EXPECT_EQ(bar->value(), bar->maximum());
    wheel(100);
    EXPECT_EQ(canvas->view().offsetY, 20);
    EXPECT_EQ(bar->value(), 0);

    // Shift turns the wheel across.
    wheel(-100, Qt::ShiftModifier);
    EXPECT_EQ(canvas->view().offsetX, clientW() - 20 - 2 * kNewPageW);
    EXPECT_EQ(canvas->view().offsetY, 20);
}

TEST_F(CanvasTest, ScrollBarPagesOnClickAndMovesWhenTheThumbIsLetGo) {
    canvas->setZoom(200);
    QScrollBar* bar = canvas->horizontalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    ASSERT_EQ(canvas->view().offsetX, 20);

    // A click between the thumb and the far arrow moves one window width.
    const QRect thumb = thumbOf(bar);
    const QPoint beyondThumb(thumb.right() + 10, bar->height() / 2);
    mouse(bar, QEvent::MouseButtonPress, beyondThumb, Qt::LeftButton);
    mouse(bar, QEvent::MouseButtonRelease, beyondThumb, Qt::NoButton);
    EXPECT_EQ(canvas->view().offsetX, 20 - clientW());

    // Dragging the thumb leaves the page until the button is let go.
    const int before = canvas->view().offsetX;
    const int pressedAt = bar->value();
    const QPoint grip = thumbOf(bar).center();
    mouse(bar, QEvent::MouseButtonPress, grip, Qt::LeftButton);
    mouse(bar, QEvent::MouseMove, grip + QPoint(60, 0), Qt::LeftButton);
    EXPECT_EQ(canvas->view().offsetX, before);
    const int position = bar->sliderPosition();
    ASSERT_GT(position, pressedAt);
    mouse(bar, QEvent::MouseButtonRelease, grip + QPoint(60, 0), Qt::NoButton);
    const int unit = (2 * kNewPageW + 99) / 100;
    EXPECT_EQ(canvas->view().offsetX, std::max(-unit * position, clientW() - 20 - 2 * kNewPageW));
    EXPECT_LT(canvas->view().offsetX, before);
}

TEST_F(CanvasTest, AResizeThatKeepsThePageInPlaceOnlyCopies) {
    const QScreen* screen = canvas->screen();
    canvas->setZoom(200);
    viewport()->repaint();
    ASSERT_FALSE(canvas->backBuffer().isNull());
    EXPECT_GE(canvas->backBuffer().width(), screen->virtualSize().width() * canvas->devicePixelRatio());
    EXPECT_GE(canvas->backBuffer().height(), screen->virtualSize().height() * canvas->devicePixelRatio());

    const long long renders = canvas->renderCount();
    canvas->setGeometry(0, 0, 650, 450);
    viewport()->repaint();
    EXPECT_EQ(canvas->renderCount(), renders) << "the resize only copied";
    viewport()->repaint();
    EXPECT_EQ(canvas->renderCount(), renders + 1) << "any other paint renders";

    // A page that fits moves to the middle of the resized window: that needs a render.
    canvas->setZoom(50);
    canvas->setGeometry(0, 0, 790, 700);
    viewport()->repaint();
    const long long centred = canvas->renderCount();
    canvas->setGeometry(0, 0, 760, 700);
    viewport()->repaint();
    EXPECT_EQ(canvas->renderCount(), centred + 1);
}

TEST_F(CanvasTest, OpenedFormSetsThePageAndAFailedOneLeavesIt) {
    QSignalSpy titles(canvas.get(), &FormCanvas::titleChanged);
    ui.openAnswers.push_back(QStringLiteral(ZRK_TEST_DATA "/geometry.zrk"));
    ASSERT_TRUE(canvas->openForm());
    const formdesc::FormInfo& form = canvas->document().model().form;
    EXPECT_EQ(canvas->view().columns, 80);
    EXPECT_EQ(canvas->view().rows, 60);
    const formdesc::PageGeometry expected =
        CanvasGeometry::pageGeometry(form, canvas->logicalDpiX(), canvas->logicalDpiY());
    EXPECT_EQ(canvas->view().page.pageW, expected.pageW);
    EXPECT_EQ(canvas->view().page.cellH, expected.cellH);
    EXPECT_GE(titles.size(), 1);

    ui.openAnswers.push_back(QStringLiteral(ZRK_TEST_DATA "/bad-field.zrk"));
    EXPECT_FALSE(canvas->openForm());
    EXPECT_EQ(canvas->view().columns, 80);
    EXPECT_EQ(canvas->view().page.pageW, expected.pageW);
    EXPECT_FALSE(messages.messages.empty());
}

TEST_F(CanvasTest, ToolModesAreTheItemKinds) {
    QSignalSpy modes(canvas.get(), &FormCanvas::toolModeChanged);
    EXPECT_EQ(canvas->toolMode(), 1);
    for (int mode : {11, 21, 22, 24, 1})
        canvas->setToolMode(mode);
    canvas->setToolMode(7); // not a tool
    canvas->setToolMode(1); // already active
    ASSERT_EQ(modes.size(), 5);
    EXPECT_EQ(modes.at(3).at(0).toInt(), 24);
    EXPECT_EQ(canvas->toolMode(), 1);
}

} // namespace
