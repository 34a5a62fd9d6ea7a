// What a deployment meets: the program's own HTTP client against the real service (its server
// and SQLite file) on a loopback port, over HTTPS with a certificate made here; every way a
// request fails, each told with its reason; a damaged draw archive at start.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>

#include "server.h"
#include "token.h"
#include "ui/common/failure_text.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

constexpr const char* kToken = "service-access-token";

// A self-signed certificate for 127.0.0.1 and its key, made with the README's openssl command.
void MakeCertificate(const QString& certFile, const QString& keyFile) {
    ASSERT_EQ(
        QProcess::execute("openssl",
                          {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256",
                           "-nodes", "-days", "1", "-subj", "/CN=localhost", "-addext",
                           "subjectAltName=IP:127.0.0.1", "-keyout", keyFile, "-out", certFile}),
        0);
}

// The real service with simulated draws and one user, HTTPS when given a certificate.
class RealService {
  public:
    explicit RealService(const QString& cert = {}, const QString& key = {}) {
        service::ServiceOptions options;
        options.db_path = dir_.filePath("service.db").toStdString();
        options.simulate = true;
        options.tick_interval = std::chrono::milliseconds(0);
        options.tls_cert = cert.toStdString();
        options.tls_key = key.toStdString();
        service_ = std::make_unique<service::Service>(options);
        EXPECT_TRUE(service_->database().AddUser("tester", service::Sha256Hex(kToken)));
        url_ = QStringLiteral("%1://127.0.0.1:%2")
                   .arg(cert.isEmpty() ? "http" : "https")
                   .arg(service_->Listen("127.0.0.1", 0));
    }
    QString Url() const { return url_; }
    void Stop() { service_->Stop(); }

  private:
    QTemporaryDir dir_;
    std::unique_ptr<service::Service> service_;
    QString url_;
};

QString Status(Shell& shell) {
    return shell.Find<QLineEdit>("Tnew")->text();
}

// Presses a settings button and returns the message it ends with.
QString SettingsMessage(Shell& shell, const char* button) {
    shell.Messages().Clear();
    shell.Find<QPushButton>(button)->click();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shell.Messages().messages().empty(); }, 15000));
    return shell.Messages().messages().empty() ? QString()
                                               : shell.Messages().messages().back().text;
}

HttpReply Exchange(HttpClient& client, const QString& method, const QString& url) {
    std::optional<HttpReply> reply;
    client.HttpRequest(method, url, {}, [&](HttpReply answer) { reply = std::move(answer); });
    EXPECT_TRUE(QTest::qWaitFor([&] { return reply.has_value(); }, 15000));
    return reply.value_or(HttpReply{});
}

TEST(ServiceAccess, HttpsToASelfSignedCertificateTrustedThroughCa) {
    QTemporaryDir dir;
    const QString cert = dir.filePath("cert.pem");
    const QString key = dir.filePath("key.pem");
    MakeCertificate(cert, key);
    RealService service(cert, key);

    {
        Shell shell(ServiceSettings{service.Url(), kToken, cert}, 15000);
        ASSERT_TRUE(shell.Fetch());
        EXPECT_EQ(Status(shell), QStringLiteral("已经开奖！"));
        EXPECT_EQ(SettingsMessage(shell, "C_user_save"), QStringLiteral("数据上传服务器完毕"));
    }
    // The system's store alone does not know the certificate: nothing is sent.
    {
        Shell shell(ServiceSettings{service.Url(), kToken}, 15000);
        ASSERT_TRUE(shell.Fetch());
        EXPECT_TRUE(Status(shell).startsWith(
            QStringLiteral("无法连接：服务的证书无法验证，自签名证书请在 service.ini 设 ca=（")))
            << Status(shell).toStdString();
    }
    // A ca= file that holds no certificate says so.
    HttpClient client;
    client.SetCaFile(dir.filePath("missing.pem"));
    EXPECT_EQ(
        FailureReason(Exchange(client, "POST", service.Url())),
        QStringLiteral("服务的证书无法验证，自签名证书请在 service.ini 设 ca=（无法读取证书文件 ") +
            dir.filePath("missing.pem") + QStringLiteral("）"));
}

TEST(ServiceAccess, EachFailureSaysWhatFailed) {
    RealService service;
    {
        Shell shell(ServiceSettings{service.Url(), QStringLiteral("mistyped-token")});
        ASSERT_TRUE(shell.Fetch());
        const QString refused = QStringLiteral("令牌被拒绝，请检查 service.ini 的 token=");
        EXPECT_EQ(Status(shell), QStringLiteral("无法连接：") + refused);
        // The box shows the start of a long text: 无法连接 stays in sight.
        EXPECT_EQ(shell.Find<QLineEdit>("Tnew")->cursorPosition(), 0);
        EXPECT_EQ(SettingsMessage(shell, "C_user_save"),
                  QStringLiteral("数据上传出错：") + refused);
        EXPECT_EQ(SettingsMessage(shell, "C_user_load"),
                  QStringLiteral("用户数据获取失败：") + refused);
        shell.Window().Context().services.Http().ClearConnectionCache();
    }
    HttpClient client;
    client.SetToken(QString::fromLatin1(kToken));
    // A query the service refuses, in the service's own words.
    EXPECT_EQ(
        WithFailureReason(
            "无法连接",
            Exchange(client, "GET", service.Url() + "/11xuan5/huaxian/history.asp?cz=4&n=1")),
        QStringLiteral(
            "无法连接：服务拒绝了请求（HTTP 400：unknown cz or n (expected cz=1..3, n=1..5000)）"));
    // Plain http:// to another machine is never sent.
    EXPECT_EQ(FailureReason(Exchange(client, "POST", "http://192.0.2.7:8611/x")),
              QStringLiteral("远程服务须用 https:// 地址（http:// 只用于本机）"));
    client.ClearConnectionCache();

    // A stopped service: its port is closed.
    const QString url = service.Url();
    service.Stop();
    Shell shell(ServiceSettings{url, kToken});
    ASSERT_TRUE(shell.Fetch());
    EXPECT_EQ(Status(shell), QStringLiteral("无法连接：连接被拒绝，服务没有运行"));
}

// A damaged archive.db, and so a damaged records.db, is kept aside once the window shows.
TEST(ArchiveAtStart, ADamagedArchiveIsKeptAsideAndTheUserIsToldOnce) {
    DataFolder data;
    const QDir folder(data.Path() + "/data");
    for (const char* name : {"archive.db", "records.db"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(QByteArray(9000, 'x')));
    }
    MessageRecorder messages;
    for (int start = 0; start < 2; ++start) {
        const std::size_t before = messages.messages().size();
        Fmain window({folder.path(), ServiceSettings{"http://127.0.0.1:1", {}}, 1000});
        ASSERT_TRUE(window.ApplyStartupDefaults());
        // Told over the running window, not before it; the next start has nothing to say.
        EXPECT_EQ(messages.messages().size(), before);
        window.show();
        QTest::qWait(100);
    }
    std::vector<RecordedMessage> told = messages.messages();
    ASSERT_EQ(told.size(), 2u);
    std::sort(told.begin(), told.end(),
              [](const RecordedMessage& a, const RecordedMessage& b) { return a.text < b.text; });
    for (const auto& [index, pattern] :
         {std::pair{0,
                    "^开奖存档已损坏，原文件已保留为 "
                    "(archive\\.db\\.damaged-\\d{8}-\\d{6})，已新建存档$"},
          std::pair{1,
                    "^计划记录已损坏，原文件已保留为 "
                    "(records\\.db\\.damaged-\\d{8}-\\d{6})，已新建计划记录$"}}) {
        const QString text = told[static_cast<std::size_t>(index)].text;
        const QRegularExpressionMatch named =
            QRegularExpression(QString::fromUtf8(pattern)).match(text);
        ASSERT_TRUE(named.hasMatch()) << text.toStdString();
        EXPECT_EQ(QFileInfo(folder.filePath(named.captured(1))).size(), 9000);
    }
}

}  // namespace
}  // namespace xuan5::ui::test
