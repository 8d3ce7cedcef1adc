#include "tests/preview/PreviewFixture.h"

#include <QScrollBar>
#include <QWheelEvent>

#include "formdesc/PageGeometry.h"

using previewtest::kThreeRowForm;
using previewtest::pagedLines;
using previewtest::PreviewFixture;

namespace {

constexpr QRgb kRed = qRgb(255, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);
constexpr QRgb kBlack = qRgb(0, 0, 0);
constexpr QRgb kGrey = qRgb(128, 128, 128);

class PageViewTest : public PreviewFixture {
  protected:
    // A pixel of the back buffer at a logical point of the page.
    QRgb pagePixel(int x, int y) const {
        const auto origin = view().scrollOrigin();
        const int zoom = view().zoom();
        return view().backBuffer().pixel(origin.x + x * zoom / 100, origin.y + y * zoom / 100) | 0xFF000000;
    }
    int zoomedHeight() const { return m_pages->geometry().pageH * view().zoom() / 100; }
    int unit() const { return (zoomedHeight() + 99) / 100; }
    int viewHeight() const { return view().viewport()->height(); }
};

// The red line of the form runs along the top of row 2 from the middle of
// column 2 to the middle of column 30, at any zoom and scroll position.
TEST_F(PageViewTest, ComposedBufferShowsTheLineWhereTheGeometryPutsIt) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    const formdesc::PageGeometry& g = m_pages->geometry();
    const formdesc::FigurePoints line = formdesc::figurePoints(g, 2, 2, 30, 2);
    ASSERT_GT(line.y1, 300) << "row 2 starts a third of the page down";

    for (const int zoom : {100, 200}) {
        SCOPED_TRACE(zoom);
        view().setZoom(zoom);
        view().viewport()->repaint();
        EXPECT_EQ(pagePixel(line.x1 + 2, line.y1), kRed);
        EXPECT_EQ(pagePixel((line.x1 + line.x2) / 2, line.y1), kRed);
        EXPECT_EQ(pagePixel(line.x1 + 2, line.y1 - 4), kWhite);
        EXPECT_EQ(pagePixel(line.x1 - 4, line.y1), kWhite);
        // The white page has a black frame and lies on the grey desk.
        EXPECT_EQ(pagePixel(0, 100), kBlack);
        EXPECT_EQ(pagePixel(100, 0), kBlack);
        EXPECT_EQ(pagePixel(-10, 100), kGrey);
    }

    // The window shows what the buffer holds.
    view().setZoom(100);
    view().viewport()->repaint();
    const auto origin = view().scrollOrigin();
    EXPECT_EQ(pagePixel(line.x2 - 1, line.y1), kRed);
    EXPECT_EQ(pagePixel(line.x2 + 4, line.y1), kWhite);
    const QImage shown = view().viewport()->grab().toImage();
    EXPECT_EQ(shown.pixel(origin.x + line.x1 + 2, origin.y + line.y1) | 0xFF000000, kRed);
}

// LASTROW shortens figures on the last page only.
TEST_F(PageViewTest, LastRowShortensFiguresOnTheLastPage) {
    const std::string form =
        std::string(kThreeRowForm) + "LINE LOCATE=(20, 1)-(20, 3), COURSE=V, LCOLOR=#FF0000;\n";
    ASSERT_TRUE(open(form, pagedLines(3), "CONTROL LASTROW=1;"));
    const formdesc::PageGeometry& g = m_pages->geometry();
    const formdesc::FigurePoints line = formdesc::figurePoints(g, 20, 1, 20, 3);
    const int row1 = line.y1 + g.cellH / 2;
    const int row3 = line.y1 + 2 * g.cellH + g.cellH / 2;
    view().setZoom(50);
    const struct {
        const char* button;
        QRgb atRow3;
    } rows[] = {{"nextPageButton", kRed}, {"lastPageButton", kWhite}, {"previousPageButton", kRed}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.button);
        QTest::mouseClick(button(row.button), Qt::LeftButton);
        view().viewport()->repaint();
        EXPECT_EQ(pagePixel(line.x1, row1), kRed);
        EXPECT_EQ(pagePixel(line.x1, row3), row.atRow3);
    }
}

TEST_F(PageViewTest, ScrollBarsMoveThePageWithinItsLimits) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    view().setZoom(200);
    QScrollBar* bar = view().verticalScrollBar();
    ASSERT_TRUE(bar->isEnabled());
    EXPECT_EQ(view().scrollOrigin().y, 20);
    EXPECT_EQ(bar->value(), 0);

    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(view().scrollOrigin().y, 20 - unit());
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    bar->triggerAction(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(view().scrollOrigin().y, 20) << "the page stops 20 pixels below the top";

    bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(view().scrollOrigin().y, 20 - viewHeight());
    EXPECT_GT(bar->value(), 0);
    for (int i = 0; i < 10; ++i)
        bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const int bottom = viewHeight() - 20 - zoomedHeight();
    EXPECT_EQ(view().scrollOrigin().y, bottom) << "the page's end stops 20 pixels above the bottom";
    EXPECT_EQ(bar->value(), bar->maximum());
    view().viewport()->repaint();
    const int x = view().scrollOrigin().x + 50;
    EXPECT_EQ(view().backBuffer().pixel(x, viewHeight() - 21) | 0xFF000000, kBlack);
    EXPECT_EQ(view().backBuffer().pixel(x, viewHeight() - 19) | 0xFF000000, kGrey);

    // Dragging the thumb moves the page when it is let go.
    bar->setSliderDown(true);
    bar->setSliderPosition(10);
    EXPECT_EQ(view().scrollOrigin().y, bottom);
    bar->setSliderDown(false);
    EXPECT_EQ(view().scrollOrigin().y, -10 * unit());
    bar->setSliderDown(true);
    bar->setSliderPosition(0);
    bar->setSliderDown(false);
    EXPECT_EQ(view().scrollOrigin().y, 20);
}

TEST_F(PageViewTest, WheelScrollsThreeStepsANotch) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    view().setZoom(200);
    auto wheel = [this](int delta) {
        QWheelEvent event(QPointF(50, 50), view().viewport()->mapToGlobal(QPointF(50, 50)), QPoint(),
                          QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view().viewport(), &event);
    };
    wheel(-120);
    EXPECT_EQ(view().scrollOrigin().y, 20 - 3 * unit());
    wheel(-60);
    EXPECT_EQ(view().scrollOrigin().y, 20 - 3 * unit()) << "half a notch waits for the other half";
    wheel(-60);
    EXPECT_EQ(view().scrollOrigin().y, 20 - 6 * unit());
    wheel(480);
    EXPECT_EQ(view().scrollOrigin().y, 20);
}

TEST_F(PageViewTest, NarrowPageIsCentredAndItsBarDisabled) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    m_dialog->resize(760, 760);
    view().setZoom(50);
    ASSERT_LT(m_pages->geometry().pageH * 50 / 100, view().viewport()->height());
    const int zoomedWidth = m_pages->geometry().pageW * 50 / 100;
    const int viewWidth = view().viewport()->width();
    ASSERT_LT(zoomedWidth, viewWidth);
    EXPECT_EQ(view().scrollOrigin().x, (viewWidth - zoomedWidth) / 2);
    EXPECT_EQ(view().scrollOrigin().y, 20);
    EXPECT_FALSE(view().horizontalScrollBar()->isEnabled());
    EXPECT_FALSE(view().verticalScrollBar()->isEnabled());
}

// A resize that leaves the page where it is copies the buffer; one that
// moves the page composes it again at its new place.
TEST_F(PageViewTest, ResizeComposesAgainOnlyWhenThePageMoves) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    view().setZoom(200);
    view().viewport()->repaint();
    const int composed = view().compositions();
    m_dialog->resize(700, 500);
    view().viewport()->repaint();
    EXPECT_EQ(view().compositions(), composed);

    view().setZoom(50);
    view().viewport()->repaint();
    const int centredX = view().scrollOrigin().x;
    m_dialog->resize(740, 500);
    view().viewport()->repaint();
    EXPECT_NE(view().scrollOrigin().x, centredX);
    EXPECT_EQ(view().compositions(), composed + 2);
    EXPECT_EQ(pagePixel(0, 100), kBlack) << "the frame is drawn at the new place";
}

} // namespace
