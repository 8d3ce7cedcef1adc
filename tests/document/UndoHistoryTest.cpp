#include "editor/document/UndoHistory.h"

#include "editor/document/FormDocument.h"
#include "formdesc/MessageSink.h"
#include "tests/support/FormRecords.h"
#include "tests/support/RecordingDocumentUi.h"
#include "tests/support/TempFolder.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <random>
#include <vector>

using editor::FormDocument;
using editor::UndoHistory;
using formdesc::FieldInfo;
using formdesc::FigureInfo;
using formdesc::FormModel;

namespace {

using Model = std::unique_ptr<FormModel>;

bool sameModel(const FormModel& a, const FormModel& b) {
    return std::memcmp(&a, &b, sizeof(FormModel)) == 0;
}

Model copyOf(const FormModel& model) {
    return std::make_unique<FormModel>(model);
}

FieldInfo fieldRecord(int col, int row, const char* tag) {
    FieldInfo f{};
    f.startCol = col;
    f.startRow = row;
    f.endCol = col + 9;
    f.endRow = row;
    formdesc::copyText(f.tag, sizeof f.tag, tag);
    f.fontSize = 100;
    return f;
}

// A small form with a few of every kind of record.
Model sampleForm() {
    auto model = std::make_unique<FormModel>();
    model->setNewFormDefaults();
    for (int i = 0; i < 6; ++i) {
        model->appendField(fieldRecord(2 + i, 3 + 2 * i, "TAG"));
        model->appendFigure(testsupport::lineRecord(1, 1 + i, 40, 1 + i, formdesc::kCourseH));
    }
    model->appendFigure(testsupport::bitmapRecord(50, 2, 60, 12, "LOGO.BMP"));
    return model;
}

// Moves the first `count` fields and figures one cell to the right.
void moveItems(FormModel& model, int count) {
    for (int i = 0; i < count && i < model.fieldCount; ++i) {
        ++model.fields[i].startCol;
        ++model.fields[i].endCol;
    }
    for (int i = 0; i < count && i < model.figureCount; ++i) {
        ++model.figures[i].startCol;
        ++model.figures[i].endCol;
    }
}

// Removes a field and closes the gap as deletion does; the last slot keeps
// its old bytes.
void deleteField(FormModel& model, int index) {
    std::memmove(&model.fields[index], &model.fields[index + 1],
                 sizeof(FieldInfo) * (model.fieldCount - index - 1));
    --model.fieldCount;
}

// Undoes (redoes) until nothing is left, never more often than there are steps.
void undoAll(UndoHistory& history, FormModel& model) {
    for (std::size_t n = history.undoSteps(); n > 0; --n)
        ASSERT_TRUE(history.undo(model));
    EXPECT_FALSE(history.undo(model));
}

void redoAll(UndoHistory& history, FormModel& model) {
    for (std::size_t n = history.redoSteps(); n > 0; --n)
        ASSERT_TRUE(history.redo(model));
    EXPECT_FALSE(history.redo(model));
}

struct ChangeCase {
    const char* name;
    std::function<void(FormModel&)> change;
    std::size_t maxBytes; // what the step may cost at most
};

TEST(UndoHistoryTest, UndoAndRedoEveryKindOfChange) {
    const std::vector<ChangeCase> cases = {
        {"one field moved", [](FormModel& m) { ++m.fields[2].startRow, ++m.fields[2].endRow; }, 48},
        {"field text", [](FormModel& m) { formdesc::copyText(m.fields[0].constText, 132, "ABC"); }, 48},
        {"field added", [](FormModel& m) { m.appendField(fieldRecord(9, 9, "NEW")); }, 300},
        {"field deleted", [](FormModel& m) { deleteField(m, 1); }, 2000},
        {"figure attributes",
         [](FormModel& m) {
             m.figures[3].lineType = formdesc::kLineDash;
             m.figures[3].lineColor = formdesc::rgb(255, 0, 0);
         },
         48},
        {"bitmap path", [](FormModel& m) { formdesc::copyText(m.figures[6].fileName(), 260, "B.BMP"); }, 48},
        {"figure added",
         [](FormModel& m) { m.appendFigure(testsupport::figureRecord(formdesc::kKindRect, 1, 1, 5, 5)); },
         350},
        {"form info",
         [](FormModel& m) {
             formdesc::copyText(m.form.title, sizeof m.form.title, "TITLE");
             m.form.paperSize = formdesc::kPaperB4;
             m.form.columns = 200;
         },
         64},
        {"everything moved", [](FormModel& m) { moveItems(m, formdesc::kMaxItems); }, 200},
    };
    for (const ChangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Model before = sampleForm();
        Model model = copyOf(*before);
        UndoHistory history;
        history.reset(*model);
        c.change(*model);
        const Model after = copyOf(*model);

        ASSERT_TRUE(history.record(*model));
        EXPECT_LE(history.bytes(), c.maxBytes);
        EXPECT_TRUE(history.canUndo());
        EXPECT_FALSE(history.canRedo());

        ASSERT_TRUE(history.undo(*model));
        EXPECT_TRUE(sameModel(*model, *before));
        EXPECT_FALSE(history.canUndo());
        EXPECT_TRUE(history.canRedo());
        EXPECT_FALSE(history.undo(*model));

        ASSERT_TRUE(history.redo(*model));
        EXPECT_TRUE(sameModel(*model, *after));
        EXPECT_FALSE(history.redo(*model));
    }
}

TEST(UndoHistoryTest, OnlyRealChangesBecomeSteps) {
    Model model = sampleForm();
    UndoHistory history;
    history.reset(*model);
    EXPECT_FALSE(history.record(*model));

    // Changed and changed back before recording: no step.
    model->fields[0].fontSize = 120;
    model->fields[0].fontSize = 100;
    EXPECT_FALSE(history.record(*model));
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(history.bytes(), 0u);

    // A change in the bytes past the counts is a change too: deletion leaves them.
    model->fields[formdesc::kMaxItems - 1].startCol = 7;
    EXPECT_TRUE(history.record(*model));
}

// A change after an undo, recorded or not, ends the redo and frees its steps;
// redo never throws such a change away.
TEST(UndoHistoryTest, ANewChangeEndsTheRedo) {
    Model model = sampleForm();
    const Model original = copyOf(*model);
    UndoHistory history;
    history.reset(*model);
    for (int step = 0; step < 3; ++step) {
        moveItems(*model, 1);
        history.record(*model);
    }
    const std::size_t threeSteps = history.bytes();
    history.undo(*model);
    history.undo(*model);

    model->form.speed = 9; // not recorded
    const Model changed = copyOf(*model);
    EXPECT_FALSE(history.redo(*model));
    EXPECT_TRUE(sameModel(*model, *changed));
    EXPECT_EQ(history.undoSteps(), 2u);
    EXPECT_LT(history.bytes(), threeSteps);

    undoAll(history, *model);
    EXPECT_TRUE(sameModel(*model, *original));
}

TEST(UndoHistoryTest, BudgetDropsTheOldestSteps) {
    Model model = sampleForm();
    std::vector<Model> states;
    states.push_back(copyOf(*model));
    UndoHistory history(400);
    history.reset(*model);
    for (int step = 0; step < 20; ++step) {
        moveItems(*model, 6);
        ASSERT_TRUE(history.record(*model));
        states.push_back(copyOf(*model));
        EXPECT_LE(history.bytes(), history.budget());
    }
    const std::size_t kept = history.undoSteps();
    EXPECT_GT(kept, 1u);
    EXPECT_LT(kept, 20u);
    undoAll(history, *model);
    // Undoing all that is kept ends at the oldest state kept, not the original.
    EXPECT_TRUE(sameModel(*model, *states[20 - kept]));
    redoAll(history, *model);
    EXPECT_TRUE(sameModel(*model, *states.back()));

    // A step larger than the whole budget still stays undoable, alone.
    UndoHistory tiny(1);
    tiny.reset(*model);
    moveItems(*model, 6);
    tiny.record(*model);
    moveItems(*model, 6);
    tiny.record(*model);
    EXPECT_EQ(tiny.undoSteps(), 1u);
    EXPECT_TRUE(tiny.undo(*model));
}

// Random edits, undos and redos against a list of every state: the history
// must always give back exactly the bytes of the state it points at.
TEST(UndoHistoryTest, RandomEditsUndoAndRedoToTheExactBytes) {
    std::mt19937 random(20240611);
    auto below = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    constexpr int kMax = formdesc::kMaxItems;
    auto randomEdit = [&](FormModel& m) {
        switch (below(6)) {
        case 0:
            reinterpret_cast<char*>(
                &m.fields[below(std::min(m.fieldCount + 1, kMax))])[below(sizeof(FieldInfo))] =
                static_cast<char>(random());
            break;
        case 1:
            reinterpret_cast<char*>(
                &m.figures[below(std::min(m.figureCount + 1, kMax))])[below(sizeof(FigureInfo))] =
                static_cast<char>(random());
            break;
        case 2:
            reinterpret_cast<char*>(&m.form)[below(sizeof m.form)] = static_cast<char>(random());
            break;
        case 3:
            for (std::size_t i = below(30); i > 0; --i)
                m.appendField(fieldRecord(int(below(200)), int(below(200)), "R"));
            break;
        case 4:
            if (m.fieldCount > 1)
                deleteField(m, int(below(m.fieldCount - 1)));
            break;
        default:
            moveItems(m, int(below(formdesc::kMaxItems)));
        }
    };

    Model model = sampleForm();
    UndoHistory history;
    history.reset(*model);
    std::vector<Model> states;
    states.push_back(copyOf(*model));
    std::size_t current = 0;
    auto pushState = [&] {
        states.resize(current + 1);
        states.push_back(copyOf(*model));
        ++current;
    };

    for (int op = 0; op < 80; ++op) {
        SCOPED_TRACE(op);
        switch (below(6)) {
        case 0:
        case 1:
            randomEdit(*model);
            if (history.record(*model))
                pushState();
            break;
        case 2:
            EXPECT_EQ(history.undo(*model), current > 0);
            current -= current > 0;
            break;
        case 3:
            EXPECT_EQ(history.redo(*model), current + 1 < states.size());
            current += current + 1 < states.size();
            break;
        case 4: // an edit nobody recorded, then undo: the edit can be redone
            randomEdit(*model);
            if (!sameModel(*model, *states[current]))
                pushState();
            history.undo(*model);
            current -= current > 0;
            break;
        default: // an edit nobody recorded, then redo: the edit stays
            randomEdit(*model);
            if (!sameModel(*model, *states[current]))
                pushState();
            history.redo(*model);
            current += current + 1 < states.size();
        }
        ASSERT_TRUE(sameModel(*model, *states[current]));
        ASSERT_EQ(history.undoSteps(), current);
        ASSERT_EQ(history.redoSteps(), states.size() - 1 - current);
    }
    undoAll(history, *model);
    EXPECT_TRUE(sameModel(*model, *states.front()));
    redoAll(history, *model);
    EXPECT_TRUE(sameModel(*model, *states.back()));
}

class DocumentHistoryTest : public testing::Test {
  protected:
    DocumentHistoryTest() { document.newForm(); }

    // Moves the first field slot, counted or not, so that a new form changes too.
    void nudge() {
        ++document.model().fields[0].startCol;
        ++document.model().fields[0].endCol;
    }
    void moveAndRecord() {
        nudge();
        document.recordChange();
    }

    TempFolder folder;
    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scopedSink{sink};
    RecordingDocumentUi ui;
    FormDocument document{ui};
};

TEST_F(DocumentHistoryTest, UndoingToTheSavedStateIsNotModified) {
    document.model().appendField(fieldRecord(1, 1, "A"));
    document.recordChange();
    ui.saveAnswers.push_back(QString::fromStdString((folder.path() / "saved.zrk").string()));
    ASSERT_TRUE(document.saveForm());
    EXPECT_FALSE(document.isModified());

    moveAndRecord();
    EXPECT_TRUE(document.isModified());
    ASSERT_TRUE(document.undo());
    EXPECT_FALSE(document.isModified());
    ASSERT_TRUE(document.undo()); // before the save: the field was not there
    EXPECT_TRUE(document.isModified());
    ASSERT_TRUE(document.redo());
    EXPECT_FALSE(document.isModified());
}

TEST_F(DocumentHistoryTest, SignalsFollowTheHistory) {
    QSignalSpy restored(&document, &FormDocument::recordsRestored);
    QSignalSpy changed(&document, &FormDocument::historyChanged);

    document.recordChange(); // nothing changed
    EXPECT_FALSE(document.canUndo());
    EXPECT_EQ(changed.count(), 0);

    moveAndRecord();
    EXPECT_EQ(changed.count(), 1); // undo became possible
    moveAndRecord();
    EXPECT_EQ(changed.count(), 1); // still only undo

    EXPECT_TRUE(document.undo());
    EXPECT_EQ(restored.count(), 1);
    EXPECT_EQ(changed.count(), 2); // redo became possible
    EXPECT_TRUE(document.canRedo());

    nudge(); // not recorded yet
    EXPECT_FALSE(document.canRedo());
    EXPECT_TRUE(document.undo());
    EXPECT_TRUE(document.undo());
    EXPECT_FALSE(document.undo());
    EXPECT_EQ(restored.count(), 3);
    EXPECT_FALSE(document.canUndo());
    EXPECT_GT(document.historyBytes(), 0u);
}

TEST_F(DocumentHistoryTest, NewAndSuccessfulOpenClearTheHistory) {
    const QString example = QStringLiteral(ZRK_SOURCE_DIR "/examples/invoice.zrk");
    struct Case {
        const char* name;
        std::function<bool(FormDocument&)> action;
        bool clears;
    };
    const std::vector<Case> cases = {
        {"new",
         [](FormDocument& d) {
             d.newForm();
             return true;
         },
         true},
        {"open file", [&](FormDocument& d) { return d.openFormFile(example); }, true},
        {"open through the dialog",
         [&](FormDocument& d) {
             ui.openAnswers.push_back(example);
             return d.openForm();
         },
         true},
        {"failed open", [](FormDocument& d) { return d.openFormFile(QStringLiteral("/no/such/form.zrk")); },
         false},
        {"cancelled open", [](FormDocument& d) { return d.openForm(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        document.newForm();
        moveAndRecord();
        moveAndRecord();
        document.undo();
        QSignalSpy changed(&document, &FormDocument::historyChanged);

        EXPECT_EQ(c.action(document), c.clears);
        EXPECT_EQ(document.canUndo(), !c.clears);
        EXPECT_EQ(document.canRedo(), !c.clears);
        EXPECT_EQ(document.historyBytes() == 0, c.clears);
        EXPECT_EQ(changed.count(), c.clears ? 1 : 0);
        if (c.clears) {
            EXPECT_FALSE(document.undo());
        }
    }
}

} // namespace
