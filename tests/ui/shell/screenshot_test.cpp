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

struct Shot {
    ScreenshotResult result;
    QString status;  // Tnew after the run
    bool saved = false;
};

// A started window on a fresh data folder, talking to `url`, shot with "--fetch --panel 1".
Shot TakeFetchingScreenshot(const QString& url, const QString& file, int waitMs) {
    DataFolder data;
    MessageRecorder messages;
    Fmain window(FmainOptions{data.Path() + "/data", {url, kTestToken}, 60000});
    EXPECT_TRUE(window.ApplyStartupDefaults());
    AppConfig config;
    config.fetch = true;
    config.panel = 1;
    config.screenshotFile = file;
    Shot shot;
    shot.result = TakeScreenshot(window, config, waitMs);
    shot.status = window.findChild<QLineEdit*>("Tnew")->text();
    shot.saved = QFile::exists(file);
    window.Context().services.Http().ClearConnectionCache();
    return shot;
}

TEST(Screenshot, AFetchNotHandledWithinTheWaitFailsTheRun) {
    QTemporaryDir out;
    {
        TrickleServer trickle;
        const Shot stuck = TakeFetchingScreenshot(trickle.Url(), out.filePath("stuck.png"), 300);
        EXPECT_EQ(stuck.result.exitCode, 1);
        EXPECT_TRUE(stuck.result.error.contains("not answered"))
            << stuck.result.error.toStdString();
        // The picture is still there to show what the window looked like.
        EXPECT_TRUE(stuck.saved);
    }

    // An answer that was handled finishes the run, even when the answer is a failure.
    FeedServer server;
    server.Answer(404, "");
    const Shot failed = TakeFetchingScreenshot(server.Url(), out.filePath("failed.png"), 30000);
    EXPECT_EQ(failed.result.exitCode, 0) << failed.result.error.toStdString();
    EXPECT_EQ(failed.status, QStringLiteral("无法连接：服务拒绝了请求（HTTP 404）"));
    EXPECT_TRUE(failed.saved);
}

}  // namespace
}  // namespace xuan5::ui::test
