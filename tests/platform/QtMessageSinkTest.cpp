#include "platform/QtMessageSink.h"
#include "tests/platform/TestApplication.h"

#include <gtest/gtest.h>

namespace {

TEST(QtMessageSink, WithoutAScreenTheMessageGoesToStandardError) {
    platformtest::ensureApplication(); // the tests run on the offscreen platform
    platform::QtMessageSink sink;
    ASSERT_FALSE(platform::QtMessageSink::canShowWindows());
    testing::internal::CaptureStderr();
    sink.show(formdesc::kCaptionError, "イメージのオープンに失敗しました（LOGO.BMP）",
              formdesc::MessageIcon::Exclamation);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "エラー: イメージのオープンに失敗しました（LOGO.BMP）\n");
}

TEST(ApplicationGuard, SecondGuardLeavesTheApplicationAlone) {
    platformtest::ensureApplication();
    platform::ApplicationGuard guard;
    EXPECT_FALSE(guard.ownsApplication());
}

} // namespace
