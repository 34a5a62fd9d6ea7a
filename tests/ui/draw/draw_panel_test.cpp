// The drawing panel: mouse drawing on the chart, saving and loading lines, the base search,
// the profit chart, copying and the per-line bet-count limit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cmath>

#include "core/text.h"
#include "curves/chart.h"
#include "curves/profit_curve.h"
#include "curves/trend_line.h"
#include "ui/widgets/chart_widget.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

ChartWidget* Chart(Shell& shell) {
    return shell.Find<ChartWidget>("Pic");
}

void ShowWindow(Shell& shell) {
    shell.Window().resize(1366, 768);
    shell.Window().show();
    QCoreApplication::processEvents();
}

std::vector<std::string> StoreLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t at; (at = bytes.find("\r\n", start)) != std::string::npos; start = at + 2)
        lines.push_back(bytes.substr(start, at - start));
    return lines;
}

// The columns of an image that hold a pure green pixel.
std::vector<int> GreenColumns(const QImage& image) {
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x)
        for (int y = 0; y < image.height(); ++y)
            if (image.pixelColor(x, y) == QColor(0, 255, 0)) {
                columns.push_back(x);
                break;
            }
    return columns;
}

TEST(DrawPanel, MouseDrawsATrendLineBetweenTwoClicks) {
    Shell shell;
    ShowWindow(shell);
    ChartWidget* pic = Chart(shell);
    shell.Tables().Trend.TrendLine[50] = 777;  // a previous line is forgotten when drawing starts

    const QPoint start = pic->ToPixel(5.5, 0).toPoint();
    QTest::mouseClick(pic, Qt::LeftButton, {}, start);
    EXPECT_EQ(shell.Tables().Trend.TrendClickCount, 1);
    EXPECT_EQ(shell.Tables().Trend.TrendLine[50], 0);
    EXPECT_EQ(pic->Picture().range, 5000);
    ASSERT_FALSE(pic->Picture().labels.empty());
    EXPECT_EQ(pic->Picture().labels.back().text, kCanvasHint);

    const QPoint a = pic->ToPixel(10.5, 1200).toPoint();
    const QPoint b = pic->ToPixel(14.5, 2400).toPoint();
    QTest::mouseMove(pic, a);
    QTest::mouseMove(pic, b);
    const QPointF la = pic->ToLogical(a), lb = pic->ToLogical(b);
    const int colA = static_cast<int>(std::floor(la.x()));
    const int colB = static_cast<int>(std::floor(lb.x()));
    ASSERT_LT(colA + 1, colB);
    EXPECT_EQ(shell.Tables().Trend.TrendLine[colA], static_cast<int>(RoundHalfEven(la.y())));
    EXPECT_EQ(shell.Tables().Trend.TrendLine[colB], static_cast<int>(RoundHalfEven(lb.y())));
    ASSERT_EQ(pic->ExtraLines().size(), 1u);
    EXPECT_EQ(pic->ExtraLines()[0].width, 3);
    EXPECT_EQ(pic->ExtraLines()[0].color, ChartColor::Red);
    EXPECT_EQ(pic->ExtraLines()[0].x0, colA);
    EXPECT_EQ(pic->ExtraLines()[0].x1, colB);

    QTest::mouseClick(pic, Qt::LeftButton, {}, b);
    EXPECT_EQ(shell.Tables().Trend.TrendClickCount, 0);
    // The gap between the two points was filled along the segment on screen, and the chart now
    // shows the line as it is held: what a save keeps.
    const TrendLineTable& line = shell.Tables().Trend.TrendLine;
    const double step = double(line[colB] - line[colA]) / (colB - colA);
    EXPECT_EQ(line[colA + 1], static_cast<int>(RoundHalfEven(line[colA] + step)));
    ASSERT_EQ(pic->ExtraLines().size(), 119u);
    EXPECT_EQ(pic->ExtraLines()[colA - 1].y0, line[colA]);
    EXPECT_EQ(pic->ExtraLines()[colA - 1].y1, line[colA + 1]);
    // Moving after the stop records nothing.
    QTest::mouseMove(pic, pic->ToPixel(60.5, 3000).toPoint());
    EXPECT_EQ(shell.Tables().Trend.TrendLine[60], 0);
    EXPECT_EQ(pic->ExtraLines().size(), 119u);
}

// A plan that runs while a line is being drawn (an update arriving with automatic planning on)
// leaves the line, its picture and the base boxes as the user had them.
TEST(DrawPanel, AnUpdateWhileDrawingLeavesTheDrawingAlone) {
    Shell shell;
    ShowWindow(shell);
    ASSERT_TRUE(shell.FetchFeed(40));
    ChartWidget* pic = Chart(shell);
    QTest::mouseClick(pic, Qt::LeftButton, {}, pic->ToPixel(1.5, 0).toPoint());
    for (int x = 1; x <= 60; x += 3)
        QTest::mouseMove(pic, pic->ToPixel(x + 0.5, 30.0 * x).toPoint());
    ASSERT_TRUE(shell.FetchFeed(41));  // the pipeline plans for the next period meanwhile
    ASSERT_EQ(shell.Window().PipelineRuns(), 1);
    for (int x = 61; x <= 120; x += 3)
        QTest::mouseMove(pic, pic->ToPixel(x + 0.5, 30.0 * x).toPoint());
    QTest::mouseClick(pic, Qt::LeftButton, {}, pic->ToPixel(120.5, 3600).toPoint());
    const TrendLineTable& line = shell.Tables().Trend.TrendLine;
    for (int x = 1; x <= 118; ++x) {
        // Every column lies on the drawn straight line y = 30 x, give or take the pixels.
        EXPECT_NEAR(line[x], 30 * x, 60) << x;
    }
    EXPECT_EQ(shell.Find<QPlainTextEdit>("Tdadi")->toPlainText(), "");
    EXPECT_EQ(shell.Find<QLineEdit>("T_sj_zhushu")->text(), "");
    EXPECT_EQ(pic->ExtraLines().size(), 119u);
}

TEST(DrawPanel, StartButtonOnlyClearsTheChart) {
    Shell shell;
    shell.Tables().Trend.TrendLine[7] = 123;
    Chart(shell)->AddLine({0, 0, 1, 1, ChartColor::Red, 3});
    shell.Find<QPushButton>("C_huaxian_ks")->click();
    EXPECT_TRUE(Chart(shell)->ExtraLines().empty());
    EXPECT_EQ(Chart(shell)->Picture().range, 5000);
    EXPECT_EQ(shell.Tables().Trend.TrendLine[7], 123);
    EXPECT_EQ(shell.Tables().Trend.TrendClickCount, 0);
}

TEST(DrawPanel, SavedLineGoesToItsFileLineAndLoadsBack) {
    Shell shell;
    const std::vector<std::string> before = StoreLines(shell.Data().ReadStore());
    for (int i = 1; i <= 120; ++i) shell.Tables().Trend.TrendLine[i] = i * 10 - 600;
    const std::string saved = SerializeTrendLine(shell.Tables().Trend.TrendLine);
    shell.Messages().QueueAnswer(MessageAnswer::Yes);  // line 3 holds a curve already
    shell.Find<QPushButton>("C_gengxin_2")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    shell.Messages().Clear();
    EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->text(), QStringLiteral("已保存：03号线"));

    // The fifteen lines and the marker, then what the save replaced.
    const std::vector<std::string> after = StoreLines(shell.Data().ReadStore());
    ASSERT_EQ(after.size(), 33u);
    for (int k = 0; k < 15; ++k) EXPECT_EQ(after[k], k == 2 ? saved : before[k]) << k;
    EXPECT_EQ(after[15], "********");

    shell.Tables().Trend.TrendLine = {};
    shell.Find<QPushButton>("C_duqu_2")->click();
    EXPECT_TRUE(shell.Messages().messages().empty());
    for (int i = 1; i <= 120; ++i) ASSERT_EQ(shell.Tables().Trend.TrendLine[i], i * 10 - 600) << i;
    // Drawn on a fresh canvas, one thick segment per column step.
    ChartWidget* pic = Chart(shell);
    EXPECT_EQ(pic->Picture().range, 5000);
    ASSERT_EQ(pic->ExtraLines().size(), 119u);
    EXPECT_EQ(pic->ExtraLines()[0].width, 4);
    EXPECT_EQ(pic->ExtraLines()[0].y0, -590);
}

TEST(DrawPanel, LoadingAnEmptyLineReportsItAndKeepsTheCurrentLine) {
    Shell shell;
    shell.Data().WriteStore([] {
        std::string bytes;
        for (int k = 0; k < 15; ++k) bytes += (k == 6 ? "" : SampleLineText(k)) + "\r\n";
        return bytes + "********\r\n";
    }());
    shell.Tables().Trend.TrendLine[3] = 42;
    shell.Find<QPushButton>("C_duqu_6")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text,
              QStringLiteral("曲线数据不完整，可能被破坏,请重新画线保存"));
    EXPECT_EQ(shell.Messages().messages()[0].title, QStringLiteral("提示"));
    EXPECT_EQ(shell.Tables().Trend.TrendLine[3], 42);
    EXPECT_TRUE(Chart(shell)->ExtraLines().empty());
}

TEST(DrawPanel, AStrayByteCostsOneLineAndLoadedLinesKeepTheirRealValues) {
    DataFolder data;
    std::string bytes;
    for (int k = 0; k < 15; ++k) {
        if (k == 2)
            bytes += "12*\xFF" + SampleLineText(2);
        else if (k == 4)
            bytes += "2.5*-7.5*" + SampleLineText(4).substr(SampleLineText(4).find('*') + 1);
        else
            bytes += SampleLineText(k);
        bytes += "\r\n";
    }
    data.WriteStore(bytes + "********\r\n");
    // Stale temporaries of killed saves lie beside the store; the program's start clears them.
    for (const char* stale : {"data.mdb.tmp-1", "data.mdb.tmp-2"}) {
        QFile file(data.Path() + "/data/" + stale);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(QByteArray::fromStdString(bytes));
    }

    MessageRecorder messages;
    std::vector<int> ends;
    Fmain window(FmainOptions{data.Path() + "/data", {}, 5000});
    window.SetEndApplication([&](int code) { ends.push_back(code); });
    ASSERT_TRUE(window.ApplyStartupDefaults());
    EXPECT_TRUE(messages.messages().empty());
    // Nothing but the store and the record books.
    QStringList files = QDir(data.Path() + "/data").entryList(QDir::Files);
    files.removeIf([](const QString& name) { return name.startsWith("records.db"); });
    EXPECT_EQ(files, QStringList{"data.mdb"});

    // The damaged line reports itself; the program goes on.
    window.findChild<QPushButton*>("C_duqu_2")->click();
    ASSERT_EQ(messages.messages().size(), 1u);
    EXPECT_EQ(messages.messages()[0].text,
              QStringLiteral("曲线数据不完整，可能被破坏,请重新画线保存"));
    EXPECT_TRUE(ends.empty());

    // The fields are drawn as they are; the table keeps them rounded half to even.
    messages.Clear();
    window.findChild<QPushButton*>("C_duqu_4")->click();
    EXPECT_TRUE(messages.messages().empty());
    Session& state = window.Tables();
    EXPECT_EQ(state.Trend.TrendLine[1], 2);
    EXPECT_EQ(state.Trend.TrendLine[2], -8);
    auto* pic = window.findChild<ChartWidget*>("Pic");
    ASSERT_EQ(pic->ExtraLines().size(), 119u);
    EXPECT_EQ(pic->ExtraLines()[0].y0, 2.5);
    EXPECT_EQ(pic->ExtraLines()[0].y1, -7.5);

    window.findChild<QPushButton*>("C_duqu_0")->click();
    EXPECT_TRUE(messages.messages().empty());
    EXPECT_EQ(SerializeTrendLine(state.Trend.TrendLine), SampleLineText(0));
}

TEST(DrawPanel, StoreFailuresAreReported) {
    Shell shell;
    // A folder in place of the file: the save cannot replace it.
    ASSERT_TRUE(QFile::remove(shell.Data().StorePath()));
    ASSERT_TRUE(QDir().mkdir(shell.Data().StorePath()));
    shell.Messages().QueueAnswer(MessageAnswer::Yes);  // line 1 holds a curve already
    shell.Find<QPushButton>("C_gengxin_0")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 2u);
    EXPECT_EQ(shell.Messages().messages()[1].text, QStringLiteral("本次保存曲线失败,请检查原因"));
    EXPECT_EQ(shell.Messages().messages()[1].title, QStringLiteral("提示"));
    EXPECT_TRUE(shell.EndCodes().empty()) << "a failed save is not fatal";

    // Reading a store that is gone ends the program after the two messages.
    shell.Messages().Clear();
    shell.Find<QPushButton>("C_duqu_0")->click();
    ASSERT_EQ(shell.Messages().messages().size(), 2u);
    EXPECT_EQ(shell.Messages().messages()[1].text, QStringLiteral("本软件将关闭"));
    EXPECT_EQ(shell.EndCodes(), std::vector<int>{1});
}

TEST(DrawPanel, BaseSearchFillsTheBaseAndDrawsItsCurve) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    shell.Find<QLineEdit>("T_dadi_zhushu")->setText("230");
    shell.Find<QPushButton>("C_dadi_look")->click();
    EXPECT_TRUE(shell.Messages().messages().empty());

    const QString base = shell.Find<QPlainTextEdit>("Tdadi")->toPlainText();
    const QStringList bets = base.split(' ');
    EXPECT_EQ(shell.Find<QLineEdit>("T_sj_zhushu")->text(), QString::number(bets.size()));
    EXPECT_GE(bets.size(), 230);
    for (qsizetype i = 0; i < bets.size(); ++i) {
        ASSERT_NE(BetFromText(bets[i].toStdString()), 0) << bets[i].toStdString();
        if (i) {
            ASSERT_LT(bets[i - 1], bets[i]);
        }
    }
    // "K" was pressed: the chart shows the base's own curve, not the search's projection.
    const ProfitSeriesTable curve =
        ComputeProfitSeries(base.toStdString(), shell.Tables().DrawKeys());
    EXPECT_EQ(shell.Tables().ProfitSeries, curve);
    const ChartPicture expected = DrawProfitChart(curve);
    EXPECT_EQ(Chart(shell)->Picture().range, expected.range);
    EXPECT_EQ(Chart(shell)->Picture().lines.size(), expected.lines.size());
    EXPECT_TRUE(shell.Find<QPushButton>("C_dadi_look")->isEnabled());

    // A flat line asks for no rise: with no bets wanted the base is only the forced hits.
    shell.Find<QLineEdit>("T_dadi_zhushu")->setText("0");
    shell.Find<QPushButton>("C_dadi_look")->click();
    const int forced = shell.Find<QLineEdit>("T_sj_zhushu")->text().toInt();
    EXPECT_GT(forced, 0);
    EXPECT_LT(forced, 120);
}

TEST(DrawPanel, KDrawsTheCurveOfTheBaseBox) {
    Shell shell;
    ASSERT_TRUE(shell.FetchFeed(150));
    const std::string newest = shell.Tables().DrawSeries()[120];
    shell.Find<QPlainTextEdit>("Tdadi")->setPlainText(QString::fromStdString("  " + newest + " "));
    shell.Find<QPushButton>("C_dadi_k")->click();
    const ProfitSeriesTable& series = shell.Tables().ProfitSeries;
    EXPECT_EQ(series, ComputeProfitSeries(newest, shell.Tables().DrawKeys()));
    EXPECT_GE(series[120] - series[119], 924 - 2);
    EXPECT_EQ(Chart(shell)->Picture().range, DrawProfitChart(series).range);
}

TEST(DrawPanel, ChartRepaintsFromStateOnResizeAndExpose) {
    Shell shell;
    ShowWindow(shell);
    ChartWidget* pic = Chart(shell);
    pic->SetPicture(PrepareTrendCanvas());
    pic->AddLine({10, 1000, 20, -1000, ChartColor::Red, 3});
    const QImage first = pic->grab().toImage();
    std::vector<int> green = GreenColumns(first);
    ASSERT_FALSE(green.empty());
    EXPECT_NEAR(green.front(), pic->ToPixel(120, 0).x(), 2.0);

    shell.Window().resize(1600, 900);
    QCoreApplication::processEvents();
    const QImage bigger = pic->grab().toImage();
    ASSERT_NE(bigger.size(), first.size());
    green = GreenColumns(bigger);
    ASSERT_FALSE(green.empty());
    EXPECT_NEAR(green.front(), pic->ToPixel(120, 0).x(), 2.0);
    // The hand-drawn segment is still there.
    const QPoint mid = pic->ToPixel(15, 0).toPoint();
    EXPECT_EQ(bigger.pixelColor(mid), QColor(255, 0, 0));

    shell.Window().hide();
    shell.Window().show();
    QCoreApplication::processEvents();
    EXPECT_EQ(pic->grab().toImage(), bigger);
}

TEST(DrawPanel, CopyPutsTheBaseOnTheClipboardWithANotice) {
    Shell shell;
    ShowWindow(shell);
    shell.Find<QPlainTextEdit>("Tdadi")->setPlainText("01,02,03,04,05 01,02,03,04,06");
    QApplication::clipboard()->setText("old");
    shell.Find<QPushButton>("C_copy")->click();
    EXPECT_EQ(QApplication::clipboard()->text(), "01,02,03,04,05\r\n01,02,03,04,06");
    QPointer<QDialog> notice = shell.Window().findChild<QDialog*>("Ftishi");
    ASSERT_NE(notice, nullptr);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->windowTitle(), QStringLiteral("信息提示窗口"));
    EXPECT_EQ(notice->findChild<QLabel*>("Label1")->text(), QStringLiteral("！！复制成功！！"));
    // It closes by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return notice.isNull(); }, 3000));
}

TEST(DrawPanel, LineBetCountAbove980IsReplaced) {
    Shell shell;
    auto* box = shell.Find<QLineEdit>("T_quxian_zhushu_4");
    box->setText("980");
    EXPECT_TRUE(shell.Messages().messages().empty());
    box->setText("981");
    ASSERT_EQ(shell.Messages().messages().size(), 1u);
    EXPECT_EQ(shell.Messages().messages()[0].text, QStringLiteral("注数不能多于980注"));
    EXPECT_EQ(shell.Messages().messages()[0].title, QStringLiteral("出错了"));
    EXPECT_EQ(box->text(), "400");
    EXPECT_EQ(shell.Find<QLineEdit>("T_quxian_zhushu_5")->text(), "230");
}

}  // namespace
}  // namespace xuan5::ui::test
