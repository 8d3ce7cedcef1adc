#include "editor/document/FormDocument.h"
#include "formdesc/MessageSink.h"
#include "tests/support/HostileRecords.h"
#include "tests/support/RecordingDocumentUi.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

using editor::FormDocument;

namespace {

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The designer's open refuses a form that its own Save could not write back
// (in a form with tags, a tag holding LOCATE hides the field's own key once
// the tag is written first); Save never writes a form that would not read
// back, and Save As takes only a regular file or a new name.
TEST(FormDocumentSafety, OpenAndSaveKeepOnlyFormsThatReadBackAsTheyAre) {
    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scope(messages);
    RecordingDocumentUi ui;
    FormDocument document(ui);
    document.newForm();
    TempFolder dir;

    const std::string tagged = dir.writeBytes(
        "tagged.zrk", "BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, TAGMODE=ON, "
                      "FONT=\"F\"-9, LTYPE=1-3;\r\nFIELD LOCATE=(1, 1)-(5, 1), TAG=\"LOCATE\";\r\n");
    EXPECT_FALSE(document.openFormFile(QString::fromStdString(tagged)));
    EXPECT_EQ(document.model().fieldCount, 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "ﾌｨｰﾙﾄﾞ情報（1行） - 保存すると内容が変わる値があります");

    // A form past the limits is refused, not opened short of its items.
    std::string many =
        "BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, FONT=\"F\"-9, LTYPE=1-3;\n";
    for (int i = 0; i <= formdesc::kMaxItems; ++i)
        many += "LINE LOCATE=(1, 1)-(5, 1);\n";
    messages.messages.clear();
    EXPECT_FALSE(document.openFormFile(QString::fromStdString(dir.writeBytes("many.zrk", many))));
    EXPECT_EQ(document.model().figureCount, 0);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "図形情報（1025行） - 登録限度に達しています");

    // A record that got in some other way is not saved.
    const std::string saved = dir.writeBytes("saved.zrk", "old form");
    document.model().appendField(testsupport::hostileRecords()[0].fieldRecord);
    messages.messages.clear();
    ui.saveAnswers.push_back(QString::fromStdString(saved));
    EXPECT_FALSE(document.saveFormAs());
    EXPECT_EQ(fileText(saved), "old form");
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "ﾌｨｰﾙﾄﾞ情報（1行） - 保存すると内容が変わる値があります");
    document.model().fieldCount = 0;

    // Save As onto a FIFO (a reader waits on it, so an open for writing
    // would not block) or a device is refused at once.
    const std::string fifo = (dir.path() / "fifo.zrk").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    for (const std::string& target : {fifo, std::string("/dev/null")}) {
        messages.messages.clear();
        ui.saveAnswers.push_back(QString::fromStdString(target));
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(document.saveFormAs()) << target;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        ASSERT_EQ(messages.messages.size(), 1u) << target;
        EXPECT_EQ(messages.messages[0].text, "その他 - 帳票パラメータを保存できません");
    }
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0); // nothing went into the FIFO
    ::close(reader);

    // A sound form still saves.
    ui.saveAnswers.push_back(QString::fromStdString(saved));
    EXPECT_TRUE(document.saveFormAs());
    EXPECT_EQ(fileText(saved).substr(0, 2), "//");
}

} // namespace
