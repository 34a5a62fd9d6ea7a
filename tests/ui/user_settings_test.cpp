// "保存用户设置" and "读取用户设置" against the real settings service (its server and SQLite file)
// on a loopback port, and against one that has stopped.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <array>
#include <memory>
#include <optional>

#include "server.h"
#include "sha256.h"
#include "ui/app_context.h"
#include "ui/draw_panel.h"
#include "ui/monitor_panel.h"
#include "ui/panel_links.h"
#include "ui/plan_panel.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

QString U(const char* text) {
    return QString::fromUtf8(text);
}

constexpr const char* kUserToken = "settings-test-token";

const std::array<const char*, 24> kFieldNames = {
    "T_quxian_zhushu_0",     "T_quxian_zhushu_1",  "T_quxian_zhushu_2",     "T_quxian_zhushu_3",
    "T_quxian_zhushu_4",     "T_quxian_zhushu_5",  "T_quxian_zhushu_6",     "T_quxian_zhushu_7",
    "T_quxian_zhushu_8",     "T_quxian_zhushu_9",  "T_quxian_zhushu_10",    "T_quxian_zhushu_11",
    "T_quxian_zhushu_12",    "T_quxian_zhushu_13", "T_quxian_zhushu_14",    "T_jh_dadi_chongfu_cs",
    "T_jh_dadi_chongfu_rc",  "T_jh_dadi_fenzu_01", "T_jh_dadi_fenzu_01_rc", "T_jh_dadi_fenzu_02",
    "T_jh_dadi_fenzu_02_rc", "T_jh_dadi_fenzu_03", "T_jh_dadi_fenzu_03_rc", "T_jh_dadi_fenzu_rc"};

// The real service with a fresh SQLite file and one user.
class SettingsService {
  public:
    SettingsService() {
        service::ServiceOptions options;
        options.db_path = dir_.filePath("service.db").toStdString();
        options.tick_interval = std::chrono::milliseconds(0);
        service_ = std::make_unique<service::Service>(options);
        const std::string digest = service::Sha256Hex(kUserToken);
        EXPECT_TRUE(service_->database().AddUser("tester", digest));
        user_ = *service_->database().FindUser(digest);
        port_ = service_->Listen("127.0.0.1", 0);
    }
    QString Url() const { return QStringLiteral("http://127.0.0.1:%1").arg(port_); }
    std::optional<std::string> Stored() { return service_->database().LoadSettings(user_); }
    void Store(const std::string& record) { service_->database().SaveSettings(user_, record); }
    void Stop() { service_->Stop(); }

  private:
    QTemporaryDir dir_;
    std::unique_ptr<service::Service> service_;
    std::int64_t user_ = 0;
    int port_ = 0;
};

// A started main window that keeps its settings on `url`, every message recorded.
class SettingsWindow {
  public:
    explicit SettingsWindow(const QString& url) {
        ServiceSettings service;
        service.url = url;
        service.token = QString::fromLatin1(kUserToken);
        window_ = std::make_unique<Fmain>(FmainOptions{data_.Path() + "/data", service, 5000});
        window_->SetEndApplication([](int) {});
        EXPECT_TRUE(window_->ApplyStartupDefaults());
    }
    ~SettingsWindow() { Close(); }
    void Close() {
        if (!window_) return;
        window_->Context().Http().ClearConnectionCache();
        window_.reset();
    }

    Fmain& Window() { return *window_; }
    QLineEdit* Field(int i) { return window_->findChild<QLineEdit*>(kFieldNames[i]); }
    QPushButton* Save() { return window_->findChild<QPushButton*>("C_user_save"); }
    QPushButton* Load() { return window_->findChild<QPushButton*>("C_user_load"); }
    std::array<QString, 24> Fields() {
        std::array<QString, 24> texts;
        for (int i = 0; i < 24; ++i) texts[i] = Field(i)->text();
        return texts;
    }
    void SetFields(const std::array<QString, 24>& texts) {
        for (int i = 0; i < 24; ++i) Field(i)->setText(texts[i]);
    }
    // Presses a button and checks that the window goes on at once: the button waits disabled,
    // the outcome comes later. Returns the messages shown once the answer is handled.
    std::vector<RecordedMessage> PressAndWait(QPushButton* button) {
        messages_.Clear();
        button->click();
        EXPECT_FALSE(Save()->isEnabled());
        EXPECT_FALSE(Load()->isEnabled());
        EXPECT_TRUE(messages_.messages().empty());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return Save()->isEnabled() && Load()->isEnabled(); }, 15000));
        std::vector<RecordedMessage> shown = messages_.messages();
        messages_.Clear();
        return shown;
    }
    MessageRecorder& Messages() { return messages_; }

  private:
    DataFolder data_;
    MessageRecorder messages_;
    std::unique_ptr<Fmain> window_;
};

void ExpectOnly(const std::vector<RecordedMessage>& shown, const char* text) {
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, U(text));
    EXPECT_EQ(shown[0].title, U("提示"));
}

// Texts a URL could mangle: spaces, "&", "%", "#", "+", "=", "?", Chinese, an empty field.
std::array<QString, 24> UnusualFields() {
    std::array<QString, 24> texts;
    const char* lines[15] = {"100",  "200 ", " 300", "4&5", "50%", "#6",  "七百", "",
                             "12+3", "a=b",  "?x",   "%20", "%2F", "980", "１２"};
    for (int i = 0; i < 15; ++i) texts[i] = U(lines[i]);
    texts[15] = "7";  // the instance count keeps only digits, whoever writes it
    texts[16] = U("05 & 06");
    texts[17] = U("01.02 #03");
    texts[18] = U("容对 01");
    texts[19] = U("06.07%08");
    texts[20] = U("");
    texts[21] = U("11.12 +13");
    texts[22] = U("01.02.03");
    texts[23] = U("03;04 线");
    return texts;
}

TEST(UserSettings, SaveChangeLoadRestoresEveryFieldThroughTheRealService) {
    SettingsService service;
    SettingsWindow w(service.Url());

    // Nothing stored yet for this user: the load fails and changes nothing.
    const std::array<QString, 24> defaults = w.Fields();
    EXPECT_EQ(defaults[0], "230");
    EXPECT_EQ(defaults[23], "03");
    ExpectOnly(w.PressAndWait(w.Load()), "用户数据获取失败");
    EXPECT_EQ(w.Fields(), defaults);

    const std::array<QString, 24> saved = UnusualFields();
    w.SetFields(saved);
    ASSERT_EQ(w.Fields(), saved);  // none of them set off a change handler
    ExpectOnly(w.PressAndWait(w.Save()), "数据上传服务器完毕");
    // The service holds the record as the fields read, unescaped.
    std::string record = "*sz*";
    for (int i = 0; i < 24; ++i) {
        if (i == 15 || i == 17)
            record += '*';
        else if (i > 0)
            record += '/';
        record += saved[i].toStdString();
    }
    record += "*sz*";
    EXPECT_EQ(service.Stored(), record);

    w.SetFields(defaults);
    ExpectOnly(w.PressAndWait(w.Load()), "用户数据读取成功");
    EXPECT_EQ(w.Fields(), saved);

    // Another window (a restart with other values) loads them too.
    SettingsWindow other(service.Url());
    EXPECT_EQ(other.Fields(), defaults);
    ExpectOnly(other.PressAndWait(other.Load()), "用户数据读取成功");
    EXPECT_EQ(other.Fields(), saved);
}

TEST(UserSettings, LoadedFieldsRunTheirChangeHandlersAndAShortRecordKeepsWhatWasWritten) {
    SettingsService service;
    SettingsWindow w(service.Url());

    // A stored count above 980 is checked as if typed: the limit message, then the replacement.
    service.Store(
        "*sz*100/990/230/230/230/230/230/230/230/230/230/230/230/230/230*9/09*a/b/c/d/e/f/g*sz*");
    const std::vector<RecordedMessage> shown = w.PressAndWait(w.Load());
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, U("注数不能多于980注"));
    EXPECT_EQ(shown[1].text, U("用户数据读取成功"));
    EXPECT_EQ(w.Field(0)->text(), "100");
    EXPECT_EQ(w.Field(1)->text(), "400");
    EXPECT_EQ(w.Field(15)->text(), "9");
    EXPECT_EQ(w.Field(23)->text(), "g");

    // Section B cut short: the fifteen counts and the first field of B are written, the rest
    // keep their texts, and the format message says so.
    service.Store("*sz*1/2/3/4/5/6/7/8/9/10/11/12/13/14/15*6*x*sz*");
    ExpectOnly(w.PressAndWait(w.Load()), "数据获取成功，但是格式有错，最终失败");
    EXPECT_EQ(w.Field(0)->text(), "1");
    EXPECT_EQ(w.Field(14)->text(), "15");
    EXPECT_EQ(w.Field(15)->text(), "6");
    EXPECT_EQ(w.Field(16)->text(), "09");
    EXPECT_EQ(w.Field(17)->text(), "a");
}

TEST(UserSettings, FieldsWithSlashOrStarAreRefusedBeforeAnythingIsSent) {
    SettingsService service;
    SettingsWindow w(service.Url());
    for (const char* bad : {"01/02", "3*4"}) {
        w.Field(20)->setText(bad);
        w.Save()->click();
        ASSERT_EQ(w.Messages().messages().size(), 1u) << bad;
        EXPECT_EQ(w.Messages().messages()[0].text, U("设置中含有非法字符（/ 或 *），未上传"));
        EXPECT_EQ(w.Messages().messages()[0].title, U("提示"));
        w.Messages().Clear();
        EXPECT_TRUE(w.Save()->isEnabled());
        EXPECT_TRUE(w.Load()->isEnabled());
    }
    EXPECT_EQ(service.Stored(), std::nullopt);
}

TEST(UserSettings, AStoppedServiceGivesTheFailureMessagesAndTheWindowGoesOn) {
    SettingsService service;
    SettingsWindow w(service.Url());
    w.Window().Context().Http().ClearConnectionCache();
    service.Stop();

    const std::array<QString, 24> before = w.Fields();
    ExpectOnly(w.PressAndWait(w.Save()), "数据上传出错");
    ExpectOnly(w.PressAndWait(w.Load()), "用户数据获取失败");
    EXPECT_EQ(w.Fields(), before);

    // A token the service does not know is a failure as well.
    SettingsService other;
    SettingsWindow stranger(other.Url());
    stranger.Window().Context().Http().SetToken(QStringLiteral("not-a-user"));
    ExpectOnly(stranger.PressAndWait(stranger.Save()), "数据上传出错");
    EXPECT_EQ(other.Stored(), std::nullopt);
}

TEST(UserSettings, ClosingTheWindowWithARequestOutIsSafe) {
    SettingsService service;
    service.Store("*sz*1/2/3/4/5/6/7/8/9/10/11/12/13/14/15*6/06*a/b/c/d/e/f/g*sz*");
    {
        SettingsWindow w(service.Url());
        w.Load()->click();
        w.Close();
        QTest::qWait(100);
        EXPECT_TRUE(w.Messages().messages().empty());
    }
    {
        SettingsWindow w(service.Url());
        w.Field(3)->setText("333");
        w.Save()->click();
        w.Close();
        QTest::qWait(100);
        EXPECT_TRUE(w.Messages().messages().empty());
    }
    // Whether the save arrived or not, the stored record is one whole record.
    const std::optional<std::string> stored = service.Stored();
    ASSERT_TRUE(stored.has_value());
    EXPECT_TRUE(*stored == "*sz*1/2/3/4/5/6/7/8/9/10/11/12/13/14/15*6/06*a/b/c/d/e/f/g*sz*" ||
                stored->find("/333/") != std::string::npos)
        << *stored;
}

TEST(UserSettings, AnAnswerArrivingAfterThePanelIsGoneIsDropped) {
    SettingsService service;
    ServiceSettings settings;
    settings.url = service.Url();
    settings.token = QString::fromLatin1(kUserToken);
    AppContext ctx({}, settings, 5000);
    PanelLinks links;
    DrawPanel draw(ctx, links);
    PlanPanel plan(ctx, links);
    links.draw = &draw;
    links.plan = &plan;
    MessageRecorder messages;
    auto* monitor = new MonitorPanel(ctx, links);
    monitor->findChild<QPushButton*>("C_user_save")->click();
    delete monitor;
    // The save reaches the service and its answer comes back to a client that is still alive.
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.Stored().has_value(); }, 15000));
    bool probed = false;
    ctx.Http().HttpRequest(QStringLiteral("POST"),
                           service.Url() + QStringLiteral("/11xuan5/huaxian/save.asp?lx=2&zt=2&"),
                           {}, [&](std::string) { probed = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return probed; }, 15000));
    QCoreApplication::processEvents();
    EXPECT_TRUE(messages.messages().empty());
    ctx.Http().ClearConnectionCache();
}

TEST(UserSettings, ExplanationTextReadsAsWritten) {
    SettingsService service;
    SettingsWindow w(service.Url());
    auto* note = w.Window().findChild<QPlainTextEdit*>("Text9");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->toPlainText().replace("\n", "\r\n"),
              U("用户配置包括监控\r\n界面设置，计划界\r\n面参数设置，可以\r\n点击保存。\r\n"
                "（云数据保存）\r\n"));
    EXPECT_TRUE(note->isReadOnly());
}

}  // namespace
}  // namespace xuan5::ui::test
