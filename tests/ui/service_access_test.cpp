// The program's own HTTP client against the real service (its server and SQLite file) on a
// loopback port: over HTTPS with a certificate made here, and every way a request fails, each
// told to the user with its reason.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <memory>
#include <optional>

#include "server.h"
#include "token.h"
#include "ui/shell/failure_text.h"
#include "ui_test_support.h"

namespace xuan5::ui::test {
namespace {

constexpr const char* kToken = "service-access-token";

// A self-signed certificate for 127.0.0.1 with its key, as PEM files, made as the README's
// openssl command makes one (a CA flag, the address as subject alternative name).
void MakeCertificate(const QString& certFile, const QString& keyFile) {
    EVP_PKEY* key = EVP_EC_gen("P-256");
    X509* cert = X509_new();
    ASSERT_TRUE(key && cert);
    X509_set_version(cert, 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert), 1);
    X509_gmtime_adj(X509_getm_notBefore(cert), -60);
    X509_gmtime_adj(X509_getm_notAfter(cert), 3600);
    X509_set_pubkey(cert, key);
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("xuan5 test"), -1, -1, 0);
    X509_set_issuer_name(cert, name);
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, cert, cert, nullptr, nullptr, 0);
    for (const auto& [nid, value] : {std::pair{NID_basic_constraints, "critical,CA:TRUE"},
                                     std::pair{NID_subject_alt_name, "IP:127.0.0.1"}}) {
        X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
        ASSERT_TRUE(extension);
        X509_add_ext(cert, extension, -1);
        X509_EXTENSION_free(extension);
    }
    ASSERT_GT(X509_sign(cert, key, EVP_sha256()), 0);
    FILE* out = std::fopen(certFile.toLocal8Bit().constData(), "w");
    ASSERT_TRUE(out && PEM_write_X509(out, cert));
    std::fclose(out);
    out = std::fopen(keyFile.toLocal8Bit().constData(), "w");
    ASSERT_TRUE(out && PEM_write_PrivateKey(out, key, nullptr, nullptr, 0, nullptr, nullptr));
    std::fclose(out);
    X509_free(cert);
    EVP_PKEY_free(key);
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
        port_ = service_->Listen("127.0.0.1", 0);
        scheme_ = cert.isEmpty() ? "http" : "https";
    }
    QString Url() const { return QStringLiteral("%1://127.0.0.1:%2").arg(scheme_).arg(port_); }
    void Stop() { service_->Stop(); }

  private:
    QTemporaryDir dir_;
    std::unique_ptr<service::Service> service_;
    int port_ = 0;
    QString scheme_;
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
        EXPECT_EQ(shell.Tables().UpdateCount, 1);
        EXPECT_EQ(SettingsMessage(shell, "C_user_save"), QStringLiteral("数据上传服务器完毕"));
    }
    // The system's store alone does not know the certificate: nothing is sent.
    {
        Shell shell(ServiceSettings{service.Url(), kToken}, 15000);
        ASSERT_TRUE(shell.Fetch());
        EXPECT_TRUE(Status(shell).startsWith(
            QStringLiteral("无法连接：服务的证书无法验证，自签名证书请在 service.ini 设 ca=（")))
            << Status(shell).toStdString();
        EXPECT_EQ(shell.Tables().UpdateCount, 0);
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
        shell.Window().Context().Http().ClearConnectionCache();
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
    EXPECT_EQ(SettingsMessage(shell, "C_user_load"),
              QStringLiteral("用户数据获取失败：连接被拒绝，服务没有运行"));
}

}  // namespace
}  // namespace xuan5::ui::test
