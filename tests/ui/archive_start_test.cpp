// A damaged draw archive at start: the window starts as usual, the file is kept aside and the
// user is told once.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

TEST(ArchiveAtStart, ADamagedArchiveIsKeptAsideAndTheUserIsToldOnce) {
    DataFolder data;
    const QDir folder(data.Path() + "/data");
    const QByteArray damaged(9000, 'x');
    {
        QFile archive(folder.filePath("archive.db"));
        ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
        archive.write(damaged);
    }
    MessageRecorder messages;
    auto start = [&] {
        auto window = std::make_unique<Fmain>(
            FmainOptions{folder.path(), ServiceSettings{"http://127.0.0.1:1", {}}, 1000});
        EXPECT_TRUE(window->ApplyStartupDefaults());
        return window;
    };
    {
        const auto window = start();
        // Told over the window, once it runs, not before it.
        EXPECT_TRUE(messages.messages().empty());
        ASSERT_TRUE(QTest::qWaitFor([&] { return !messages.messages().empty(); }, 5000));
        ASSERT_EQ(messages.messages().size(), 1u);
        const RecordedMessage& told = messages.messages().front();
        const QRegularExpressionMatch named =
            QRegularExpression(
                QStringLiteral("^开奖存档已损坏，原文件已保留为 "
                               "(archive\\.db\\.damaged-\\d{8}-\\d{6})，已新建存档$"))
                .match(told.text);
        ASSERT_TRUE(named.hasMatch()) << told.text.toStdString();
        EXPECT_EQ(told.title, QStringLiteral("提示"));
        QFile kept(folder.filePath(named.captured(1)));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), damaged);
    }
    messages.Clear();
    const auto again = start();
    QTest::qWait(50);
    EXPECT_TRUE(messages.messages().empty());
}

}  // namespace
}  // namespace xuan5::ui::test
