#include "runtime/data/JobData.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "runtime/data/DataPages.h"
#include "runtime/data/DataSpool.h"
#include "tests/support/FormRecords.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

using namespace runtime;
using testsupport::fieldRecord;

// Pages built from records are counted as the spool wrote them, without
// reading the file: the count and the first page's start must be what a
// reading gives, also when a line of a 256-column form (tagged or not) is
// longer than a line part and the reader returns it in two; a part of the
// job that starts later is still found by reading the file.
TEST(JobPagesTest, recordPagesCountAsTheFileReads) {
    const TempFolder root;
    const ScopedEnv xdg("XDG_RUNTIME_DIR", root.path().c_str());
    std::string csv = "NO,ITEM\n";
    for (int i = 0; i < 23; ++i)
        csv += std::to_string(i / 5) + "," + std::string(static_cast<std::size_t>(i * 13 % 300), 'x') + "\n";
    const std::string path = root.writeBytes("records.csv", csv);
    for (const bool tagMode : {false, true}) {
        for (const char* groupBy : {"", "NO"}) {
            SCOPED_TRACE(std::string(tagMode ? "tag mode" : "row mode") + ", group by '" + groupBy + "'");
            formdesc::FormModel model;
            model.form.columns = 256;
            model.form.rows = 4;
            model.form.tagMode = tagMode ? 1 : 0;
            for (const formdesc::FieldInfo& field :
                 {fieldRecord(1, 1, 256, "NO"), fieldRecord(1, 2, 256, "ITEM"),
                  fieldRecord(1, 3, 256, "ITEM")})
                model.appendField(field);
            RecordOptions options;
            options.groupBy = groupBy;
            RecordResult result;
            DataSpool spool;
            ASSERT_TRUE(spool.prepareRecords(path, false, model, options, result));
            ASSERT_TRUE(spool.lineParts().has_value());
            // Every page has a line longer than a part.
            EXPECT_GT(*spool.lineParts(), result.pages * 4);
            for (const int wanted : {1, 2, 4}) {
                FilePosition counted = 99;
                FilePosition read = 99;
                EXPECT_EQ(countJobPages(spool, model.form.rows, wanted, counted),
                          countPages(spool.path(), model.form.rows, wanted, read))
                    << "from page " << wanted;
                EXPECT_EQ(counted, read) << "from page " << wanted;
            }
        }
    }
}
