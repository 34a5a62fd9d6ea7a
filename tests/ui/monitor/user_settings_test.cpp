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
#include "token.h"
#include "ui/backup/backup_strip.h"
#include "ui/draw/draw_panel.h"
#include "ui/monitor/monitor_panel.h"
#include "ui/plan/plan_panel.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

using Fields = std::array<QString, 24>;

QString U(const char* text) {
    return QString::fromUtf8(text);
}

constexpr const char* kUserToken = "settings-test-token";

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
        user_ = service_->database().FindUser(digest).value_or(0);
        port_ = service_->Listen("127.0.0.1", 0);
    }
    ServiceSettings Settings() const {
        return {QStringLiteral("http://127.0.0.1:%1").arg(port_), QString::fromLatin1(kUserToken)};
    }
    std::optional<std::string> Stored() { return service_->database().LoadSettings(user_); }
    void Store(const std::string& record) { service_->database().SaveSettings(user_, record); }
    void Stop() { service_->Stop(); }

  private:
    QTemporaryDir dir_;
    std::unique_ptr<service::Service> service_;
    std::int64_t user_ = 0;
    int port_ = 0;
};

// A started main window keeping its settings on `service`, every message recorded.
class SettingsWindow {
  public:
    explicit SettingsWindow(const ServiceSettings& service)
        : window_(std::make_unique<Fmain>(FmainOptions{data_.Path() + "/data", service, 5000})) {
        window_->SetEndApplication([](int) {});
        EXPECT_TRUE(window_->ApplyStartupDefaults());
    }
    ~SettingsWindow() { Close(); }
    void Close() {
        if (window_) window_->Context().services.Http().ClearConnectionCache();
        window_.reset();
    }

    Fmain& Window() { return *window_; }
    QLineEdit* Field(int i) {
        static const char* plan[9] = {
            "T_jh_dadi_chongfu_cs",  "T_jh_dadi_chongfu_rc",  "T_jh_dadi_fenzu_01",
            "T_jh_dadi_fenzu_01_rc", "T_jh_dadi_fenzu_02",    "T_jh_dadi_fenzu_02_rc",
            "T_jh_dadi_fenzu_03",    "T_jh_dadi_fenzu_03_rc", "T_jh_dadi_fenzu_rc"};
        return window_->findChild<QLineEdit*>(i < 15 ? QStringLiteral("T_quxian_zhushu_%1").arg(i)
                                                     : QString::fromLatin1(plan[i - 15]));
    }
    QPushButton* Save() { return window_->findChild<QPushButton*>("C_user_save"); }
    QPushButton* Load() { return window_->findChild<QPushButton*>("C_user_load"); }
    Fields Read() {
        Fields texts;
        for (int i = 0; i < 24; ++i) texts[i] = Field(i)->text();
        return texts;
    }
    void Write(const Fields& texts) {
        for (int i = 0; i < 24; ++i) Field(i)->setText(texts[i]);
    }
    // Presses a button and checks that the window goes on at once: both buttons wait disabled
    // and nothing is shown yet. Returns the messages shown once the answer is handled, joined.
    QString PressAndWait(QPushButton* button) {
        messages_.Clear();
        button->click();
        EXPECT_FALSE(Save()->isEnabled() || Load()->isEnabled());
        EXPECT_TRUE(messages_.messages().empty());
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return Save()->isEnabled() && Load()->isEnabled(); }, 15000));
        return Shown();
    }
    QString Shown() {
        QStringList shown;
        for (const RecordedMessage& m : messages_.messages()) shown << m.text + "|" + m.title;
        messages_.Clear();
        return shown.join(" / ");
    }

  private:
    DataFolder data_;
    MessageRecorder messages_;
    std::unique_ptr<Fmain> window_;
};

TEST(UserSettings, SaveChangeLoadThroughTheRealService) {
    SettingsService service;
    SettingsWindow w(service.Settings());
    const Fields defaults = w.Read();
    EXPECT_EQ(defaults[0], "230");
    EXPECT_EQ(defaults[23], "03");
    // Nothing stored yet for this user.
    EXPECT_EQ(w.PressAndWait(w.Load()),
              U("用户数据获取失败：服务上还没有保存过这个用户的设置|提示"));
    EXPECT_EQ(w.Read(), defaults);

    // Texts a URL could mangle; the instance count holds digits only, as its box keeps it.
    const Fields saved = {"100",       "200 ",    " 300",    "4&5",       "50%",     "#6",
                          U("七百"),   "",        "12+3",    "a=b",       "?x",      "%20",
                          "%2F",       "980",     U("１２"), "7",         "05 & 06", "01 #3",
                          U("容对 1"), "06.07%8", "",        "11.12 +13", "01.02",   U("03;04 线")};
    w.Write(saved);
    ASSERT_EQ(w.Read(), saved);
    EXPECT_EQ(w.PressAndWait(w.Save()), U("数据上传服务器完毕|提示"));
    std::string record = "*sz*";
    for (int i = 0; i < 24; ++i)
        record += (i == 0 ? "" : i == 15 || i == 17 ? "*" : "/") + saved[i].toStdString();
    EXPECT_EQ(service.Stored(), record + "*sz*");

    w.Write(defaults);
    EXPECT_EQ(w.PressAndWait(w.Load()), U("用户数据读取成功|提示"));
    EXPECT_EQ(w.Read(), saved);
    {
        // A restart (its own recorder takes the messages meanwhile) loads them as well.
        SettingsWindow restarted(service.Settings());
        EXPECT_EQ(restarted.PressAndWait(restarted.Load()), U("用户数据读取成功|提示"));
        EXPECT_EQ(restarted.Read(), saved);
    }

    // A loaded count above 980 is checked as if typed.
    service.Store("*sz*1/990/3/4/5/6/7/8/9/10/11/12/13/14/15*9/09*a/b/c/d/e/f/g*sz*");
    EXPECT_EQ(w.PressAndWait(w.Load()), U("注数不能多于980注|出错了 / 用户数据读取成功|提示"));
    EXPECT_EQ(w.Field(1)->text(), "400");
    EXPECT_EQ(w.Field(23)->text(), "g");
    // Cut short in section B: what came before the gap is written, the rest stays.
    service.Store("*sz*a/b/c/d/e/f/g/h/i/j/k/l/m/n/o*6*x*sz*");
    EXPECT_EQ(w.PressAndWait(w.Load()), U("数据获取成功，但是格式有错，最终失败|提示"));
    EXPECT_EQ(w.Field(14)->text(), "o");
    EXPECT_EQ(w.Field(15)->text(), "6");
    EXPECT_EQ(w.Field(16)->text(), "09");

    // "/" or "*" would break the record: refused, nothing sent.
    for (const char* bad : {"01/02", "3*4"}) {
        w.Field(20)->setText(bad);
        w.Save()->click();
        EXPECT_EQ(w.Shown(), U("设置中含有非法字符（/ 或 *），未上传|提示"));
        EXPECT_TRUE(w.Save()->isEnabled() && w.Load()->isEnabled());
    }
    EXPECT_EQ(service.Stored(), "*sz*a/b/c/d/e/f/g/h/i/j/k/l/m/n/o*6*x*sz*");

    auto* note = w.Window().findChild<QPlainTextEdit*>("Text9");
    EXPECT_EQ(note->toPlainText().replace("\n", "\r\n"),
              U("用户配置包括监控\r\n界面设置，计划界\r\n面参数设置，可以\r\n点击保存。\r\n"
                "（云数据保存）\r\n"));
}

TEST(UserSettings, StoppedServiceAndClosingWithARequestOut) {
    SettingsService service;
    const std::string kept = "*sz*1/2/3/4/5/6/7/8/9/10/11/12/13/14/15*6/06*a/b/c/d/e/f/g*sz*";
    service.Store(kept);
    {
        // Closing the window with a save out: no answer is handled, no message shown, and the
        // service keeps one whole record, the old or the new.
        SettingsWindow w(service.Settings());
        w.Field(3)->setText("333");
        w.Save()->click();
        w.Close();
        QTest::qWait(100);
        EXPECT_EQ(w.Shown(), "");
        const std::string stored = service.Stored().value_or("");
        EXPECT_TRUE(stored == kept || stored.find("/333/") != std::string::npos) << stored;
    }
    {
        // The panel goes first while the client lives on: its answer is dropped.
        AppContext ctx({}, service.Settings(), 5000);
        PanelLinks links;
        DrawPanel draw(ctx.services, ctx.session, links);
        BackupStrip strip(ctx.services, ctx.session, links);
        links.backup = strip.Link();
        PlanPanel plan(ctx.services, ctx.session, links);
        links.settingsFields = [&] {
            std::vector<std::string> fields;
            for (const std::string& size : draw.LineSizes()) fields.push_back(size);
            for (const std::string& text : plan.SettingsTexts()) fields.push_back(text);
            return fields;
        };
        MessageRecorder messages;
        auto* monitor = new MonitorPanel(ctx.services, ctx.session, links);
        draw.SetLineSize(5, "555");
        monitor->findChild<QPushButton*>("C_user_save")->click();
        delete monitor;
        // Once the save is stored its answer is on its way; a later exchange comes back after it.
        ASSERT_TRUE(QTest::qWaitFor(
            [&] { return service.Stored().value_or("").find("/555/") != std::string::npos; },
            15000));
        bool probed = false;
        ctx.services.Http().HttpRequest(QStringLiteral("POST"), service.Settings().url, {},
                                        [&](const HttpReply&) { probed = true; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return probed; }, 15000));
        QCoreApplication::processEvents();
        EXPECT_TRUE(messages.messages().empty());
        ctx.services.Http().ClearConnectionCache();
    }

    SettingsWindow w(service.Settings());
    w.Window().Context().services.Http().ClearConnectionCache();
    service.Stop();
    const Fields before = w.Read();
    EXPECT_EQ(w.PressAndWait(w.Save()), U("数据上传出错：连接被拒绝，服务没有运行|提示"));
    EXPECT_EQ(w.PressAndWait(w.Load()), U("用户数据获取失败：连接被拒绝，服务没有运行|提示"));
    EXPECT_EQ(w.Read(), before);
}

}  // namespace
}  // namespace xuan5::ui::test
