#include "editor/canvas/ClipboardBlock.h"
#include "editor/canvas/FormCanvas.h"
#include "formdesc/FormReader.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/MessageSink.h"
#include "tests/support/HostileRecords.h"
#include "tests/support/RecordingDocumentUi.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <memory>

using formdesc::FormModel;

namespace {

// The block the designer puts on the clipboard for these records.
QByteArray blockOf(const std::vector<testsupport::HostileRecord>& rows) {
    auto source = std::make_unique<FormModel>();
    source->setNewFormDefaults();
    editor::Selection selection;
    for (const auto& row : rows) {
        if (row.field) {
            source->appendField(row.fieldRecord);
            selection.add(editor::Selection::entryFor(row.fieldRecord, source->fieldCount - 1));
        } else {
            source->appendFigure(row.figureRecord);
            selection.add(editor::Selection::entryFor(row.figureRecord, source->figureCount - 1));
        }
    }
    const std::vector<std::uint8_t> block = editor::ClipboardBlock::encode(*source, selection);
    return QByteArray(reinterpret_cast<const char*>(block.data()), qsizetype(block.size()));
}

void putOnClipboard(const QByteArray& block) {
    auto* data = new QMimeData;
    data->setData(QString::fromLatin1(editor::FormDocument::kClipboardFormat), block);
    QApplication::clipboard()->setMimeData(data);
}

// Pasted blocks whose texts would change the saved form are refused whole
// with a warning; what is pasted is saved to a file that passes the print
// job's check and reads back to what the canvas holds.
TEST(CanvasPaste, BlocksThatTheFileWouldChangeAreRefusedWholeAndPastesSaveAsShown) {
    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scope(messages);
    RecordingDocumentUi ui;
    QWidget host;
    editor::FormCanvas canvas(ui, &host);
    canvas.document().newForm();
    FormModel& model = canvas.document().model();

    for (const auto& hostile : testsupport::hostileRecords()) {
        // Each one alone and each one among sound records.
        std::vector<testsupport::HostileRecord> mixed = testsupport::soundRecords();
        mixed.insert(mixed.begin() + 1, hostile);
        for (const auto& rows : {std::vector{hostile}, mixed}) {
            messages.messages.clear();
            putOnClipboard(blockOf(rows));
            canvas.pasteItems();
            EXPECT_EQ(model.fieldCount + model.figureCount, 0) << hostile.what;
            ASSERT_EQ(messages.messages.size(), 1u) << hostile.what;
            EXPECT_EQ(messages.messages[0].caption, "警告");
        }
    }

    messages.messages.clear();
    putOnClipboard(blockOf(testsupport::soundRecords()));
    canvas.pasteItems();
    ASSERT_EQ(model.fieldCount + model.figureCount, int(testsupport::soundRecords().size()));
    TempFolder dir;
    const std::string path = (dir.path() / "pasted.zrk").string();
    ui.saveAnswers.push_back(QString::fromStdString(path));
    ASSERT_TRUE(canvas.document().saveFormAs());
    EXPECT_TRUE(messages.messages.empty());

    auto printed = std::make_unique<FormModel>();
    EXPECT_TRUE(formdesc::readFormFile(path, *printed, formdesc::ReaderVariant::Print));
    auto back = std::make_unique<FormModel>();
    ASSERT_TRUE(formdesc::readFormFile(path, *back, formdesc::ReaderVariant::Designer));
    ASSERT_EQ(back->fieldCount, model.fieldCount);
    ASSERT_EQ(back->figureCount, model.figureCount);
    for (int n = 0; n < model.fieldCount; ++n)
        EXPECT_TRUE(formdesc::sameBytes(formdesc::asWritten(back->fields[std::size_t(n)]),
                                        formdesc::asWritten(model.fields[std::size_t(n)])));
    for (int n = 0; n < model.figureCount; ++n)
        EXPECT_TRUE(formdesc::sameBytes(formdesc::asWritten(back->figures[std::size_t(n)]),
                                        formdesc::asWritten(model.figures[std::size_t(n)])));
}

} // namespace
