#include "formdesc/FormRoundTrip.h"
#include "formdesc/FormReader.h"
#include "formdesc/FormWriter.h"
#include "formdesc/MessageSink.h"
#include "tests/support/HostileRecords.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace formdesc;

namespace {

std::unique_ptr<FormModel> newForm() {
    auto model = std::make_unique<FormModel>();
    model->setNewFormDefaults();
    return model;
}

bool survives(const testsupport::HostileRecord& row, const FormInfo& form) {
    return row.field ? fieldSurvives(row.fieldRecord, form) : figureSurvives(row.figureRecord, form);
}

void add(FormModel& model, const testsupport::HostileRecord& row) {
    if (row.field)
        model.appendField(row.fieldRecord);
    else
        model.appendFigure(row.figureRecord);
}

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FormRoundTrip, RecordsHoldingTheFilesSyntaxDoNotSurviveAndSaveNamesThem) {
    const auto base = newForm();
    TempFolder dir;
    for (const auto& row : testsupport::hostileRecords()) {
        EXPECT_FALSE(survives(row, base->form)) << row.what;
        // Second of its kind: the whole-form check and the save name it.
        auto model = newForm();
        model->appendField(testsupport::fieldRecord(1, 1, 5, "FIRST"));
        model->appendFigure(testsupport::rectRecord(1, 2, 5, 3));
        add(*model, row);
        const FormError expected{row.field ? kErrorField : kErrorFigure, kItemCodeChanged, 2};
        EXPECT_EQ(firstChangedItem(*model), std::optional<FormError>(expected)) << row.what;

        const std::string path = dir.writeBytes("form.zrk", "old form");
        RecordingMessageSink sink;
        ScopedMessageSink scope(sink);
        EXPECT_FALSE(writeFormFile(path, *model)) << row.what;
        EXPECT_EQ(fileText(path), "old form") << row.what;
        ASSERT_EQ(sink.messages.size(), 1u) << row.what;
        EXPECT_EQ(sink.messages[0].text, std::string(row.field ? "ﾌｨｰﾙﾄﾞ情報（2行）" : "図形情報（2行）") +
                                             " - 保存すると内容が変わる値があります")
            << row.what;
    }
    for (const auto& row : testsupport::soundRecords()) {
        EXPECT_TRUE(survives(row, base->form)) << row.what;
        auto model = newForm();
        add(*model, row);
        EXPECT_FALSE(firstChangedItem(*model)) << row.what;
    }
    // The form's own texts and values.
    FormInfo title = base->form;
    std::strcpy(title.title, "A\", SIZE=A3, X=\"");
    EXPECT_FALSE(formSurvives(title));
    FormInfo margin = base->form;
    margin.leftMargin = -25; // a margin below zero was left out of the file
    EXPECT_TRUE(formSurvives(margin));
    margin.speed = 1; // and so was SPEED
    EXPECT_TRUE(formSurvives(margin));
}

// A form text with this many items of each kind after the form statement.
std::string formWithItems(int fields, int figures) {
    std::string text =
        "BASE TITLE=\"T\", SIZE=A4, DIRECTION=P, COLUMN=80, ROW=60, FONT=\"F\"-9, LTYPE=1-3;\n";
    for (int i = 0; i < fields; ++i)
        text += "FIELD LOCATE=(1, 1)-(5, 1);\n";
    for (int i = 0; i < figures; ++i)
        text += "RECT LOCATE=(1, 1)-(5, 5);\n";
    return text;
}

TEST(FormRoundTrip, FormsPastTheLimitsAreRefusedNamingTheFirstItemBeyond) {
    TempFolder dir;
    struct Row {
        int fields, figures;
        const char* message; // nullptr: read
    };
    const Row rows[] = {
        {kMaxItems, kMaxItems, nullptr},
        {kMaxItems + 1, 0, "ﾌｨｰﾙﾄﾞ情報（1025行） - 登録限度に達しています"},
        {0, kMaxItems + 1, "図形情報（1025行） - 登録限度に達しています"},
        {kMaxItems + 1, kMaxItems + 1, "ﾌｨｰﾙﾄﾞ情報（1025行） - 登録限度に達しています"},
    };
    for (const Row& row : rows) {
        const std::string path = dir.writeBytes("many.zrk", formWithItems(row.fields, row.figures));
        for (auto variant : {ReaderVariant::Designer, ReaderVariant::Print}) {
            RecordingMessageSink sink;
            ScopedMessageSink scope(sink);
            auto model = std::make_unique<FormModel>();
            EXPECT_EQ(readFormFile(path, *model, variant), row.message == nullptr) << row.fields;
            if (row.message) {
                ASSERT_EQ(sink.messages.size(), 1u);
                EXPECT_EQ(sink.messages[0].text, row.message);
            }
        }
    }
}

// Reads the file in a child process: true when it was refused with the
// open message within a second. A reader that blocks or spins is killed.
bool refusedWithinASecond(const std::string& path) {
    const pid_t child = fork();
    if (child == 0) {
        RecordingMessageSink sink;
        ScopedMessageSink scope(sink);
        auto model = std::make_unique<FormModel>();
        const bool read = readFormFile(path, *model, ReaderVariant::Print);
        const bool refused = !read && sink.messages.size() == 1 &&
                             sink.messages[0].text == "その他 - 帳票パラメータがオープンできません";
        _exit(refused ? 0 : 1);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(FormRoundTrip, OnlyRegularFilesOfAFormsSizeAreRead) {
    TempFolder dir;
    const std::string fifo = (dir.path() / "fifo.zrk").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string huge = dir.writeBytes("huge.zrk", formWithItems(1, 0));
    ASSERT_EQ(truncate(huge.c_str(), kMaxFormFileBytes + 1), 0);
    for (const std::string& path : {fifo, std::string("/dev/zero"), dir.path().string(), huge})
        EXPECT_TRUE(refusedWithinASecond(path)) << path;
}

} // namespace
