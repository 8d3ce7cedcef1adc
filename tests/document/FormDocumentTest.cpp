#include "editor/document/FormDocument.h"
#include "editor/document/ClipboardOwnership.h"

#include "formdesc/FormWriter.h"
#include "formdesc/MessageSink.h"
#include "tests/support/FormText.h"
#include "tests/support/RecordingDocumentUi.h"
#include "tests/support/TempFolder.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>

using editor::FormDocument;
using editor::NamingState;
using editor::SaveAnswer;

namespace {

const QString kExample = QStringLiteral(ZRK_SOURCE_DIR "/examples/invoice.zrk");

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool sameModel(const formdesc::FormModel& a, const formdesc::FormModel& b) {
    return a.fieldCount == b.fieldCount && a.figureCount == b.figureCount &&
           formdesc::sameBytes(a.form, b.form) &&
           std::memcmp(a.fields.data(), b.fields.data(), sizeof(formdesc::FieldInfo) * a.fieldCount) == 0 &&
           std::memcmp(a.figures.data(), b.figures.data(), sizeof(formdesc::FigureInfo) * a.figureCount) == 0;
}

class FormDocumentTest : public testing::Test {
  protected:
    FormDocumentTest() { document.newForm(); }

    QString inFolder(const char* name) const {
        return QString::fromStdString((folder.path() / name).string());
    }
    std::string lastText() const { return sink.messages.empty() ? "" : sink.messages.back().text; }

    TempFolder folder;
    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scopedSink{sink};
    RecordingDocumentUi ui;
    FormDocument document{ui};
};

TEST_F(FormDocumentTest, NewFormIsUnnamedUnmodifiedAndClosesWithoutAsking) {
    EXPECT_EQ(document.windowTitle(), QStringLiteral("Tabrik [新規帳票]"));
    EXPECT_EQ(document.path(), QStringLiteral("NoName.zrk"));
    EXPECT_EQ(document.namingState(), NamingState::Unnamed);
    EXPECT_FALSE(document.isModified());
    EXPECT_EQ(document.model().form.columns, 180);
    EXPECT_TRUE(document.canClose());
    EXPECT_EQ(ui.questions, 0);
}

// Open, save as, reopen: the document writes what the writer makes of the
// records, and reading that file back gives the same file again.
TEST_F(FormDocumentTest, OpenSaveAsReopenKeepsTheRecords) {
    QSignalSpy titles(&document, &FormDocument::titleChanged);
    QSignalSpy replaced(&document, &FormDocument::recordsReplaced);
    ASSERT_TRUE(document.openFormFile(kExample));
    EXPECT_EQ(document.windowTitle(), QStringLiteral("Tabrik [請求書]"));
    EXPECT_EQ(titles.count(), 1);
    EXPECT_EQ(replaced.count(), 1);
    EXPECT_EQ(document.namingState(), NamingState::Named);
    EXPECT_EQ(document.lastFolder(), QStringLiteral(ZRK_SOURCE_DIR "/examples/"));
    const auto opened = std::make_unique<formdesc::FormModel>(document.model());
    ASSERT_GT(opened->fieldCount, 10);

    // Typed without an extension, the name is used exactly as typed.
    ui.saveAnswers.push_back(inFolder("copy"));
    ASSERT_TRUE(document.saveFormAs());
    EXPECT_EQ(ui.saveFolders.back(), QStringLiteral(ZRK_SOURCE_DIR "/examples/"));
    EXPECT_EQ(document.path(), inFolder("copy"));
    EXPECT_EQ(document.lastFolder(), inFolder(""));
    EXPECT_EQ(document.windowTitle(), QStringLiteral("Tabrik [請求書]"));
    EXPECT_EQ(titles.count(), 1) << "save as leaves the title alone";
    EXPECT_FALSE(document.isModified());
    const std::string written = fileBytes(inFolder("copy").toStdString());
    EXPECT_EQ(written, formdesc::formatFormFile(*opened, formdesc::creationDate()));

    document.newForm();
    ASSERT_TRUE(document.openFormFile(inFolder("copy")));
    // Fields and the form come back byte for byte; the file they came from is
    // the file they make again.
    EXPECT_TRUE(formdesc::sameBytes(document.model().form, opened->form));
    EXPECT_EQ(std::memcmp(document.model().fields.data(), opened->fields.data(),
                          sizeof(formdesc::FieldInfo) * opened->fieldCount),
              0);
    EXPECT_EQ(document.model().figureCount, opened->figureCount);
    ui.saveAnswers.push_back(inFolder("copy2"));
    ASSERT_TRUE(document.saveFormAs());
    EXPECT_EQ(fileBytes(inFolder("copy2").toStdString()), written);
    EXPECT_TRUE(sink.messages.empty());

    // A later Save of a named form goes to its path without a dialog.
    document.model().fields[0].startCol += 1;
    ASSERT_TRUE(document.isModified());
    ASSERT_TRUE(document.saveForm());
    EXPECT_EQ(ui.saveFolders.size(), 2);
    EXPECT_FALSE(document.isModified());
    EXPECT_NE(fileBytes(inFolder("copy2").toStdString()), written);
    EXPECT_EQ(fileBytes(inFolder("copy").toStdString()), written);
}

// The modified check compares bytes: changing something and changing it back
// is no change, and a byte after a text's end is a change.
TEST_F(FormDocumentTest, ModifiedCheckComparesBytes) {
    ASSERT_TRUE(document.openFormFile(kExample));
    struct Case {
        const char* name;
        std::function<void(formdesc::FormModel&)> edit;
        bool modified;
    };
    const Case cases[] = {
        {"nothing", [](auto&) {}, false},
        {"attribute changed and back",
         [](auto& m) {
             m.form.columns += 1;
             m.form.columns -= 1;
         },
         false},
        {"field moved away and back",
         [](auto& m) {
             m.fields[2].startRow += 3;
             m.fields[2].startRow -= 3;
         },
         false},
        {"byte after the title's NUL", [](auto& m) { m.form.title[60] = 'x'; }, true},
        {"byte after a constant's NUL", [](auto& m) { m.fields[0].constText[131] = 'x'; }, true},
        {"figure colour", [](auto& m) { m.figures[0].lineColor ^= 1; }, true},
        {"field beyond the count", [](auto& m) { m.fields[m.fieldCount].startCol = 9; }, false},
        {"field added", [](auto& m) { m.appendField(m.fields[0]); }, true},
        {"figure removed", [](auto& m) { --m.figureCount; }, true},
    };
    const auto original = std::make_unique<formdesc::FormModel>(document.model());
    for (const Case& c : cases) {
        document.model() = *original;
        c.edit(document.model());
        EXPECT_EQ(document.isModified(), c.modified) << c.name;
    }
}

// The save question, answered each way, on a named and an unnamed form.
TEST_F(FormDocumentTest, SaveQuestionAnswers) {
    struct Case {
        const char* name;
        bool named;
        SaveAnswer answer;
        const char* saveDialog; // nullptr: cancelled
        bool goesOn;
        bool written;
    };
    const Case cases[] = {
        {"no", true, SaveAnswer::No, nullptr, true, false},
        {"cancel", true, SaveAnswer::Cancel, nullptr, false, false},
        {"yes, named", true, SaveAnswer::Yes, nullptr, true, true},
        {"yes, unnamed, name given", false, SaveAnswer::Yes, "given.zrk", true, true},
        {"yes, unnamed, dialog cancelled", false, SaveAnswer::Yes, nullptr, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = inFolder(c.saveDialog ? c.saveDialog : "named.zrk");
        QFile::remove(path);
        document.newForm();
        if (c.named) {
            ui.saveAnswers.push_back(path);
            ASSERT_TRUE(document.saveForm());
            QFile::remove(path);
        }
        document.model().form.rows = 40;
        ui.questionAnswers.push_back(c.answer);
        if (c.saveDialog)
            ui.saveAnswers.push_back(path);
        const int asked = ui.questions;

        EXPECT_EQ(document.canClose(), c.goesOn);
        EXPECT_EQ(ui.questions, asked + 1);
        EXPECT_EQ(QFile::exists(path), c.written);
        EXPECT_EQ(document.isModified(), !c.written);
        EXPECT_TRUE(ui.saveAnswers.empty());
    }
}

// A save that fails stops whatever asked for it and leaves the form modified.
TEST_F(FormDocumentTest, FailedSaveKeepsTheFormModified) {
    ui.saveAnswers.push_back(inFolder("no-such-folder/form.zrk"));
    document.model().form.rows = 40;
    ui.questionAnswers.push_back(SaveAnswer::Yes);
    EXPECT_FALSE(document.confirmDiscard());
    EXPECT_EQ(lastText(), "その他 - 帳票パラメータを保存できません");
    EXPECT_TRUE(document.isModified());
    EXPECT_EQ(document.namingState(), NamingState::Unnamed);
    EXPECT_EQ(document.path(), QStringLiteral("NoName.zrk"));
    EXPECT_EQ(document.lastFolder(), inFolder("no-such-folder/"));
}

// A file that cannot be read or fails the check leaves the open form, its
// path, its saved copy and the title exactly as they were; the last folder
// follows the chosen file all the same.
TEST_F(FormDocumentTest, FailedOpenLeavesThePreviousForm) {
    struct Case {
        const char* name;
        std::optional<std::string> contents; // nothing: no such file
        std::string message;
    };
    const Case cases[] = {
        {"fails the check", "BASE TITLE=\"BAD\", SIZE=Q9;\n", "帳票情報 - SIZEの指定に誤りがあります"},
        {"field outside the grid", std::string(kBaseLine) + "FIELD LOCATE=(5,3)-(90,3);\n",
         "ﾌｨｰﾙﾄﾞ情報（1行） - LOCATEの指定に誤りがあります"},
        {"missing", std::nullopt, "その他 - 帳票パラメータが開けません"},
    };
    ASSERT_TRUE(document.openFormFile(kExample));
    document.model().fields[1].textColor = 0x123456; // unsaved work
    const auto before = std::make_unique<formdesc::FormModel>(document.model());
    const auto savedBefore = std::make_unique<formdesc::FormModel>(document.savedCopy());
    QSignalSpy titles(&document, &FormDocument::titleChanged);
    QSignalSpy replaced(&document, &FormDocument::recordsReplaced);

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = inFolder("sub/bad.zrk");
        std::filesystem::create_directories(folder.path() / "sub");
        QFile::remove(path);
        if (c.contents)
            folder.writeBytes("sub/bad.zrk", formdesc::sjis::fromUtf8(*c.contents));
        ui.openAnswers.push_back(path);

        EXPECT_FALSE(document.openForm());
        EXPECT_EQ(lastText(), c.message);
        EXPECT_TRUE(sameModel(document.model(), *before));
        EXPECT_TRUE(sameModel(document.savedCopy(), *savedBefore));
        EXPECT_EQ(document.path(), kExample);
        EXPECT_EQ(document.windowTitle(), QStringLiteral("Tabrik [請求書]"));
        EXPECT_EQ(document.lastFolder(), inFolder("sub/"));
        EXPECT_TRUE(document.isModified());
    }
    EXPECT_EQ(titles.count(), 0);
    EXPECT_EQ(replaced.count(), 0);

    // A cancelled dialog changes nothing, not even the last folder.
    EXPECT_FALSE(document.openForm());
    EXPECT_EQ(document.lastFolder(), inFolder("sub/"));
    EXPECT_EQ(ui.openFolders.back(), inFolder("sub/"));
}

TEST_F(FormDocumentTest, ItemLimitsRefuseWithAWarning) {
    auto& model = document.model();
    struct Case {
        int fields;
        int figures;
        bool fieldAllowed;
        bool figureAllowed;
    };
    const Case cases[] = {
        {0, 0, true, true}, {1023, 1023, true, true}, {1024, 0, false, true}, {0, 1024, true, false}};
    for (const Case& c : cases) {
        sink.messages.clear();
        model.fieldCount = c.fields;
        model.figureCount = c.figures;
        EXPECT_EQ(document.canAddField(), c.fieldAllowed) << c.fields;
        EXPECT_EQ(document.canAddFigure(), c.figureAllowed) << c.figures;
        const std::size_t refusals = (c.fieldAllowed ? 0 : 1) + (c.figureAllowed ? 0 : 1);
        ASSERT_EQ(sink.messages.size(), refusals);
        for (const auto& message : sink.messages) {
            EXPECT_EQ(message.caption, "警告");
            EXPECT_EQ(message.text, "登録限度に達しています");
            EXPECT_EQ(message.icon, formdesc::MessageIcon::Information);
        }
    }
}

bool clipboardHoldsItems() {
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    return data && data->hasFormat(editor::FormDocument::kClipboardFormat);
}

// Closing takes our items off the clipboard; another program's text stays.
TEST_F(FormDocumentTest, ClosingEmptiesTheClipboardOfOurItemsOnly) {
    auto* items = new QMimeData;
    items->setData(QString::fromLatin1(editor::FormDocument::kClipboardFormat), QByteArray(16, '\1'));
    // Put there by this designer: another one's items are never taken off.
    editor::ClipboardOwnership::put(items);
    document.model().form.rows = 40;
    ui.questionAnswers.push_back(SaveAnswer::Cancel);
    ASSERT_FALSE(document.canClose());
    EXPECT_TRUE(clipboardHoldsItems());
    ui.questionAnswers.push_back(SaveAnswer::No);
    ASSERT_TRUE(document.canClose());
    EXPECT_FALSE(clipboardHoldsItems());

    QGuiApplication::clipboard()->setText(QStringLiteral("another program's text"));
    ui.questionAnswers.push_back(SaveAnswer::No);
    ASSERT_TRUE(document.canClose());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("another program's text"));
}

} // namespace
