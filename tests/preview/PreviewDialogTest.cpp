#include "tests/preview/PreviewFixture.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

#include <fstream>

using previewtest::kThreeRowForm;
using previewtest::pagedLines;
using previewtest::PreviewFixture;

namespace {

class PreviewDialogTest : public PreviewFixture {
  protected:
    struct Buttons {
        bool first, previous, next, last, pageNumber;
        bool operator==(const Buttons&) const = default;
    };
    Buttons enabled() const {
        return {button("firstPageButton")->isEnabled(), button("previousPageButton")->isEnabled(),
                button("nextPageButton")->isEnabled(), button("lastPageButton")->isEnabled(),
                pageNumber()->isEnabled()};
    }
    QSpinBox* pageNumber() const { return child<QSpinBox>("pageNumber"); }
    QComboBox* zoomList() const { return child<QComboBox>("zoomList"); }

    // Replaces the text of an edit as a user would, then presses Enter.
    static void typeAndEnter(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }
    void typePage(const QString& text) { typeAndEnter(pageNumber()->findChild<QLineEdit*>(), text); }
    void typeZoom(const QString& text) { typeAndEnter(zoomList()->lineEdit(), text); }
    // Walks the zoom list with the arrow keys to an entry. (Showing the
    // zoom may select another entry afterwards: the whole page at 50 %
    // selects "50%".)
    void chooseZoomEntry(int index) {
        zoomList()->setFocus();
        if (zoomList()->currentIndex() == index)
            QTest::keyClick(zoomList(), Qt::Key_Up);
        while (zoomList()->currentIndex() > index)
            QTest::keyClick(zoomList(), Qt::Key_Up);
        while (zoomList()->currentIndex() < index) {
            const bool last = zoomList()->currentIndex() == index - 1;
            QTest::keyClick(zoomList(), Qt::Key_Down);
            if (last)
                break;
        }
    }
};

TEST_F(PreviewDialogTest, ButtonsPageThroughTheIndexAndFollowThePage) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(5)));
    EXPECT_EQ(m_pages->pageCount(), 5);
    EXPECT_EQ(enabled(), (Buttons{false, false, true, true, true}));

    const struct {
        const char* button;
        int page;
        Buttons enabled;
    } steps[] = {
        {"nextPageButton", 2, {true, true, true, true, true}},
        {"lastPageButton", 5, {true, true, false, false, true}},
        {"previousPageButton", 4, {true, true, true, true, true}},
        {"nextPageButton", 5, {true, true, false, false, true}},
        {"firstPageButton", 1, {false, false, true, true, true}},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.button);
        QTest::mouseClick(button(step.button), Qt::LeftButton);
        EXPECT_EQ(m_dialog->currentPage(), step.page);
        EXPECT_EQ(firstLine(), "P" + std::to_string(step.page) + "-1");
        EXPECT_EQ(pageNumber()->value(), step.page);
        EXPECT_EQ(enabled(), step.enabled);
    }
    EXPECT_TRUE(m_messages.messages.empty());
}

TEST_F(PreviewDialogTest, TypedPageNumberIsBroughtIntoTheIndexAndWrittenBack) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(5)));
    const struct {
        const char* typed;
        int page;
    } rows[] = {{"3", 3}, {"7", 5}, {"0", 1}, {"4", 4}, {"", 1}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        typePage(QString::fromLatin1(row.typed));
        EXPECT_EQ(m_dialog->currentPage(), row.page);
        EXPECT_EQ(firstLine(), "P" + std::to_string(row.page) + "-1");
        EXPECT_EQ(pageNumber()->text(), QString::number(row.page));
    }
    // Enter confirmed the numbers; it never closed the window.
    EXPECT_TRUE(m_dialog->isVisible());
}

TEST_F(PreviewDialogTest, ArrowKeysOfThePageNumberSpinThroughThePages) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(3)));
    pageNumber()->setFocus();
    QTest::keyClick(pageNumber(), Qt::Key_Up);
    EXPECT_EQ(m_dialog->currentPage(), 2);
    QTest::keyClick(pageNumber(), Qt::Key_Up);
    QTest::keyClick(pageNumber(), Qt::Key_Up); // stops at the last page
    EXPECT_EQ(m_dialog->currentPage(), 3);
    EXPECT_EQ(firstLine(), "P3-1");
    QTest::keyClick(pageNumber(), Qt::Key_Down);
    EXPECT_EQ(m_dialog->currentPage(), 2);
}

TEST_F(PreviewDialogTest, OnePageDisablesTheWholeNavigation) {
    ASSERT_TRUE(open(kThreeRowForm, "only\nthree\nlines\n"));
    EXPECT_EQ(m_pages->pageCount(), 1);
    EXPECT_EQ(enabled(), (Buttons{false, false, false, false, false}));
}

TEST_F(PreviewDialogTest, PageThatCannotBeLoadedLeavesThePageOnShow) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(3)));
    // The file shrinks under the open preview: page 2 is indexed but gone.
    std::ofstream(m_dataPath, std::ios::trunc) << "P1-1\n";
    QTest::mouseClick(button("nextPageButton"), Qt::LeftButton);
    EXPECT_EQ(m_dialog->currentPage(), 1);
    EXPECT_EQ(firstLine(), "P1-1");
    EXPECT_EQ(pageNumber()->value(), 1);
    ASSERT_EQ(m_messages.messages.size(), 1u);
    EXPECT_NE(m_messages.messages[0].text.find("帳票データがオープンできません"), std::string::npos);

    typePage(QStringLiteral("3"));
    EXPECT_EQ(m_dialog->currentPage(), 1);
    EXPECT_EQ(pageNumber()->value(), 1);
}

TEST_F(PreviewDialogTest, EnterKeepsTheWindowOpenEscapeClosesIt) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    button("nextPageButton")->setFocus();
    QTest::keyClick(m_dialog.get(), Qt::Key_Return);
    QTest::keyClick(m_dialog.get(), Qt::Key_Enter);
    EXPECT_TRUE(m_dialog->isVisible());
    QTest::keyClick(m_dialog.get(), Qt::Key_Escape);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Rejected);
}

TEST_F(PreviewDialogTest, CloseButtonEndsTheDialogWithOk) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    QTest::mouseClick(button("closeButton"), Qt::LeftButton);
    EXPECT_FALSE(m_dialog->isVisible());
    EXPECT_EQ(m_dialog->result(), QDialog::Accepted);
}

TEST_F(PreviewDialogTest, ZoomListKeysWalkTheEntries) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    EXPECT_EQ(m_dialog->zoom(), 100);
    EXPECT_EQ(zoomList()->currentIndex(), 4);
    zoomList()->setFocus();
    for (const int zoom : {75, 50}) {
        QTest::keyClick(zoomList(), Qt::Key_Down);
        EXPECT_EQ(m_dialog->zoom(), zoom);
    }
    for (const int zoom : {75, 100, 125, 150, 200, 500, 500}) {
        QTest::keyClick(zoomList(), Qt::Key_Up);
        EXPECT_EQ(m_dialog->zoom(), zoom);
    }
}

// The whole page fits the view with 39 pixels to spare, and a zoom one
// higher would not, unless it stops at 100 or 50.
TEST_F(PreviewDialogTest, WholePageZoomIsTheLargestThatFits) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    const formdesc::PageGeometry& g = m_pages->geometry();
    for (const QSize size : {QSize(760, 560), QSize(700, 900), QSize(1400, 1300), QSize(300, 300)}) {
        SCOPED_TRACE(size.width() * 10000 + size.height());
        m_dialog->resize(size);
        QApplication::processEvents();
        chooseZoomEntry(7);
        const int zoom = m_dialog->zoom();
        const QSize client = view().viewport()->size();
        ASSERT_GE(zoom, 50);
        ASSERT_LE(zoom, 100);
        auto fits = [&](int z) {
            return z * g.pageW <= (client.width() - 39) * 100 && z * g.pageH <= (client.height() - 39) * 100;
        };
        if (zoom > 50) {
            EXPECT_TRUE(fits(zoom));
        }
        if (zoom < 100) {
            EXPECT_FALSE(fits(zoom + 1));
        }
        EXPECT_EQ(zoomList()->currentText(), QStringLiteral("%1%").arg(zoom));
    }
}

TEST_F(PreviewDialogTest, TypedZoomIsTakenIntoItsLimits) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    const struct {
        const char* typed;
        int zoom;
        int entry; // -1: shown as text
    } rows[] = {{"1000", 500, 0}, {"20", 50, 6},    {"120", 120, -1},
                {"abc", 120, -1}, {"150%", 150, 2}, {"0", 150, 2}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        typeZoom(QString::fromLatin1(row.typed));
        EXPECT_EQ(m_dialog->zoom(), row.zoom);
        EXPECT_EQ(view().zoom(), row.zoom);
        if (row.entry >= 0) {
            EXPECT_EQ(zoomList()->currentIndex(), row.entry);
        } else if (std::string_view(row.typed) != "abc") {
            EXPECT_EQ(zoomList()->currentText(), QStringLiteral("%1%").arg(row.zoom));
        }
    }
    EXPECT_TRUE(m_dialog->isVisible());
}

TEST_F(PreviewDialogTest, ClicksInZoomModeStepTheZoom) {
    ASSERT_TRUE(open(kThreeRowForm, pagedLines(1)));
    QWidget* page = view().viewport();
    QTest::mouseClick(page, Qt::LeftButton, {}, QPoint(100, 100));
    EXPECT_EQ(m_dialog->zoom(), 100) << "no zoom outside zoom mode";

    QTest::mouseClick(button("zoomModeButton"), Qt::LeftButton);
    EXPECT_TRUE(view().zoomMode());
    EXPECT_EQ(page->cursor().shape(), Qt::BitmapCursor);
    const struct {
        const char* start;
        Qt::MouseButton click;
        int zoom;
        const char* shown;
    } rows[] = {{"55", Qt::RightButton, 50, "50%"},
                {"50", Qt::RightButton, 50, "50%"},
                {"495", Qt::LeftButton, 500, "500%"},
                {"100", Qt::LeftButton, 110, "110%"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.start);
        typeZoom(QString::fromLatin1(row.start));
        QTest::mouseClick(page, row.click, {}, QPoint(100, 100));
        EXPECT_EQ(m_dialog->zoom(), row.zoom);
        EXPECT_EQ(zoomList()->currentText(), QString::fromLatin1(row.shown));
        if (row.zoom == 500) {
            EXPECT_EQ(zoomList()->currentIndex(), 0) << "500% is shown as its entry";
        }
    }

    QTest::mouseClick(button("zoomModeButton"), Qt::LeftButton);
    EXPECT_FALSE(view().zoomMode());
    EXPECT_EQ(page->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(PreviewDialogTest, ScaleOptionSetsTheFirstZoom) {
    const struct {
        const char* control;
        int zoom; // 0: the whole page
    } rows[] = {{"CONTROL SCALE=30;", 50},
                {"CONTROL SCALE=900;", 500},
                {"CONTROL SCALE=0;", 100},
                {"control scale=125;", 125},
                {nullptr, 100},
                {"CONTROL SCALE=AUTO;", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.control ? row.control : "null");
        ASSERT_TRUE(open(kThreeRowForm, pagedLines(1), row.control));
        const int expected = row.zoom ? row.zoom : view().wholePageZoom();
        EXPECT_EQ(m_dialog->zoom(), expected);
        EXPECT_EQ(zoomList()->currentText(), QStringLiteral("%1%").arg(expected));
        TearDown();
    }
}

} // namespace
