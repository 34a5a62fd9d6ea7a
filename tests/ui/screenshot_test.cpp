// The screenshot mode in-process: a fetch that was not handled before the wait ended fails the
// run instead of passing off a picture without its data.
#include <gtest/gtest.h>

#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include "app/screenshot.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

TEST(Screenshot, AFetchNotHandledWithinTheWaitFailsTheRun) {
    QTemporaryDir out;
    AppConfig config;
    config.fetch = true;
    config.panel = 1;
    {
        TrickleServer trickle;
        DataFolder data;
        MessageRecorder messages;
        Fmain window(FmainOptions{data.Path() + "/data", {trickle.Url(), kTestToken}, 60000});
        ASSERT_TRUE(window.ApplyStartupDefaults());
        config.screenshotFile = out.filePath("stuck.png");
        const ScreenshotResult result = TakeScreenshot(window, config, 300);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_TRUE(result.error.contains("not answered")) << result.error.toStdString();
        // The picture is still there to show what the window looked like.
        EXPECT_TRUE(QFile::exists(config.screenshotFile));
    }

    // An answer that was handled finishes the run, even when the answer is a failure.
    FeedServer server;
    server.Answer(404, "");
    DataFolder data;
    MessageRecorder messages;
    Fmain window(FmainOptions{data.Path() + "/data", {server.Url(), kTestToken}, 60000});
    ASSERT_TRUE(window.ApplyStartupDefaults());
    config.screenshotFile = out.filePath("failed.png");
    const ScreenshotResult result = TakeScreenshot(window, config, 30000);
    EXPECT_EQ(result.exitCode, 0) << result.error.toStdString();
    EXPECT_EQ(window.findChild<QLineEdit*>("Tnew")->text(), QStringLiteral("无法连接"));
    EXPECT_TRUE(QFile::exists(config.screenshotFile));
    window.Context().Http().ClearConnectionCache();
}

}  // namespace
}  // namespace xuan5::ui::test
