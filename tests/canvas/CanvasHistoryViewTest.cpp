#include "editor/canvas/FormCanvas.h"
#include "editor/document/FormDocument.h"
#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "tests/support/CanvasDriver.h"
#include "tests/support/RecordingDocumentUi.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

using editor::FormCanvas;

namespace {

// What the window shows of the form besides its items.
struct Shown {
    QString title;
    int pageW, pageH, rows, columns;
    int across, down; // the scroll bars' ranges
    bool operator==(const Shown&) const = default;
};

class HistoryViewTest : public testing::Test {
  protected:
    void SetUp() override {
        m_host.resize(500, 400);
        canvas = std::make_unique<FormCanvas>(ui, &m_host);
        canvas->setGeometry(0, 0, 480, 380);
        connect();
        m_host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_host));
    }

    void connect() {
        QObject::connect(canvas.get(), &FormCanvas::titleChanged, &m_host,
                         [this](const QString& title) { m_title = title; });
    }

    Shown shown() const {
        const editor::CanvasView& view = canvas->view();
        return {m_title,
                view.page.pageW,
                view.page.pageH,
                view.rows,
                view.columns,
                canvas->horizontalScrollBar()->maximum(),
                canvas->verticalScrollBar()->maximum()};
    }

    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scopedMessages{messages};
    RecordingDocumentUi ui;
    QWidget m_host;
    QString m_title;
    std::unique_ptr<FormCanvas> canvas;
};

void setTitle(formdesc::FormInfo& form, const char* utf8) {
    const std::string text = formdesc::sjis::fromUtf8(utf8);
    std::memset(form.title, 0, sizeof form.title);
    std::memcpy(form.title, text.data(), text.size());
}

} // namespace

// The form sheet's OK shows the new title ("Tabrik [title]" as everywhere), page and scrolling; undo and redo
// show each earlier state exactly as the OK that made it did.
TEST_F(HistoryViewTest, UndoAndRedoShowTheTitlePageAndScrollingOfTheRecords) {
    // The form sheet changes what its OK would: the title, the paper, the grid.
    int sheet = 0;
    canvas->setSheetOpener([&sheet](FormCanvas& c, int) {
        formdesc::FormInfo& form = c.document().model().form;
        if (sheet++ == 0) {
            setTitle(form, "請求書");
            form.paperSize = formdesc::kPaperA3;
            form.columns = 200;
            form.rows = 80;
        } else {
            setTitle(form, "納品書");
            form.paperSize = formdesc::kPaperA5;
            form.columns = 100;
            form.rows = 40;
        }
        return true;
    });
    std::vector<Shown> states{shown()};
    for (int step = 0; step < 2; ++step) {
        canvas->openPropertySheet(0);
        states.push_back(shown());
        EXPECT_NE(states.back(), states[states.size() - 2]) << "sheet " << step;
    }
    EXPECT_EQ(states[2].title, QStringLiteral("Tabrik [納品書]"));

    canvas->undo();
    EXPECT_EQ(shown(), states[1]);
    canvas->undo();
    // The title as new and open show it, as an OK that put it back would.
    Shown first = states[0];
    first.title = QStringLiteral("Tabrik [新規帳票]");
    EXPECT_EQ(shown(), first);
    canvas->redo();
    EXPECT_EQ(shown(), states[1]);
    canvas->redo();
    EXPECT_EQ(shown(), states[2]);
    EXPECT_TRUE(messages.messages.empty());
}

namespace {

void putForeignItems(const QByteArray& block) {
    auto* data = new QMimeData;
    data->setData(QLatin1String(editor::FormDocument::kClipboardFormat), block);
    QApplication::clipboard()->setMimeData(data);
}

QByteArray clipboardItems() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data ? data->data(QLatin1String(editor::FormDocument::kClipboardFormat)) : QByteArray();
}

} // namespace

// Items another designer put on the clipboard stay there when this one
// starts and when it closes; its own items go when it closes, unless
// something else has taken their place since.
TEST_F(HistoryViewTest, OnlyTheItemsThisDesignerCopiedLeaveTheClipboard) {
    const QByteArray foreign("items of another designer");
    putForeignItems(foreign);
    canvas.reset();
    canvas = std::make_unique<FormCanvas>(ui, &m_host);
    EXPECT_EQ(clipboardItems(), foreign) << "emptied at start";
    EXPECT_TRUE(canvas->canClose());
    EXPECT_EQ(clipboardItems(), foreign) << "emptied at close";

    // A field of our own, selected with the range tool and copied.
    formdesc::FieldInfo field{};
    field.startCol = field.endCol = 3;
    field.startRow = field.endRow = 3;
    field.fontSize = 90;
    canvas->document().model().appendField(field);
    canvas->document().recordChange();
    canvas->setGeometry(0, 0, 480, 380);
    canvas->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(canvas.get()));
    testsupport::CanvasDriver mouse(*canvas);
    const auto copyOne = [&] {
        mouse.drag(mouse.at(1, 1), mouse.at(6, 5));
        ASSERT_TRUE(canvas->hasSelection());
        canvas->copySelection();
    };
    copyOne();
    ASSERT_NE(clipboardItems(), foreign);
    ASSERT_FALSE(clipboardItems().isEmpty());
    putForeignItems(foreign);
    ui.questionAnswers.push_back(editor::SaveAnswer::No);
    EXPECT_TRUE(canvas->canClose());
    EXPECT_EQ(clipboardItems(), foreign) << "a later copy of another designer emptied";

    copyOne();
    ui.questionAnswers.push_back(editor::SaveAnswer::No);
    EXPECT_TRUE(canvas->canClose());
    EXPECT_TRUE(clipboardItems().isEmpty()) << "own items left behind";
}
