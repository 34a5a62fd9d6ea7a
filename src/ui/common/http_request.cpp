#include "ui/common/http_request.h"

#include <QFile>
#include <QHostAddress>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QSslError>
#include <QTimer>
#include <QUrl>

namespace xuan5::ui {

namespace {

HttpFailure FailureOf(QNetworkReply::NetworkError error, int status, bool timedOut) {
    if (timedOut) return HttpFailure::NoAnswer;
    if (status != 0 && status != 200) return HttpFailure::Status;
    switch (error) {
        case QNetworkReply::NoError:
            return status == 200 ? HttpFailure::None : HttpFailure::Network;
        case QNetworkReply::ConnectionRefusedError:
            return HttpFailure::Refused;
        case QNetworkReply::TimeoutError:
            return HttpFailure::NoAnswer;
        case QNetworkReply::SslHandshakeFailedError:
            return HttpFailure::Certificate;
        default:
            return HttpFailure::Network;
    }
}

bool IsLoopback(const QString& host) {
    const QHostAddress address(host);
    if (!address.isNull()) return address.isLoopback();
    return host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0;
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}

}  // namespace

HttpClient::HttpClient(QObject* parent) : QObject(parent) {
    // The service sits on a known address; a desktop proxy setting must not reroute it.
    manager_.setProxy(QNetworkProxy::NoProxy);
}

HttpClient::~HttpClient() {
    for (QNetworkReply* reply : manager_.findChildren<QNetworkReply*>()) {
        disconnect(reply, nullptr, this, nullptr);
        reply->abort();
    }
}

void HttpClient::SetCaFile(const QString& file) {
    caCertificates_.clear();
    caError_.clear();
    if (file.isEmpty()) return;
    QFile pem(file);
    const QList<QSslCertificate> extra = pem.open(QIODevice::ReadOnly)
                                             ? QSslCertificate::fromData(pem.readAll())
                                             : QList<QSslCertificate>();
    if (extra.isEmpty()) {
        caError_ = QStringLiteral("无法读取证书文件 ") + file;
        return;
    }
    // A configuration given its own authorities stops loading the system's on demand, so they are
    // named together; the system's are added at the first https:// request, since reading them
    // all would cost the window's start time for nothing yet.
    caCertificates_ = extra;
    systemCasAdded_ = false;
}

void HttpClient::AnswerLater(std::function<void(HttpReply)> done, HttpReply reply) {
    // On the next turn of the event loop, like any network failure would.
    reply.timeoutMs = timeoutMs_;
    QMetaObject::invokeMethod(
        this, [done = std::move(done), reply = std::move(reply)] { done(reply); },
        Qt::QueuedConnection);
}

void HttpClient::HttpRequest(const QString& method, const QString& url, const QByteArray& body,
                             std::function<void(HttpReply)> done,
                             std::function<void(qint64, qint64)> received) {
    const QUrl target(url);
    const QString scheme = target.scheme().toLower();
    if (!target.isValid() || target.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https"))) {
        AnswerLater(std::move(done), {0, HttpFailure::BadAddress, {}, {}});
        return;
    }
    if (scheme == QLatin1String("http") && !IsLoopback(target.host())) {
        AnswerLater(std::move(done), {0, HttpFailure::Insecure, {}, {}});
        return;
    }
    QNetworkRequest request(target);
    if (scheme == QLatin1String("https")) {
        if (!caError_.isEmpty()) {
            AnswerLater(std::move(done), {0, HttpFailure::Certificate, {}, Utf8(caError_)});
            return;
        }
        // The system's store stays trusted; the ca= file adds to it.
        QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
        if (!caCertificates_.isEmpty()) {
            if (!systemCasAdded_) {
                caCertificates_ = QSslConfiguration::systemCaCertificates() + caCertificates_;
                systemCasAdded_ = true;
            }
            tls.setCaCertificates(caCertificates_);
        }
        request.setSslConfiguration(tls);
    }
    if (!token_.isEmpty()) request.setRawHeader("Authorization", "Bearer " + token_.toUtf8());

    QNetworkReply* reply = nullptr;
    if (method == QLatin1String("GET")) {
        reply = manager_.get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply = manager_.post(request, body);
    }
    // The first complaint about the certificate says more than "handshake failed".
    connect(reply, &QNetworkReply::sslErrors, reply, [reply](const QList<QSslError>& errors) {
        if (!errors.isEmpty()) reply->setProperty("xuan5TlsError", errors.front().errorString());
    });
    // The limit covers the whole exchange, from sending to the answer: a server that keeps
    // trickling bytes must not hold the request open for ever. Aborting finishes the reply with
    // an error, which answers as no answer.
    auto* limit = new QTimer(reply);
    limit->setSingleShot(true);
    connect(limit, &QTimer::timeout, reply, [reply] {
        reply->setProperty("xuan5TimedOut", true);
        reply->abort();
    });
    limit->start(timeoutMs_);
    if (received) connect(reply, &QNetworkReply::downloadProgress, this, std::move(received));
    connect(reply, &QNetworkReply::finished, this,
            [reply, timeoutMs = timeoutMs_, done = std::move(done)] {
                reply->deleteLater();
                HttpReply answer;
                answer.timeoutMs = timeoutMs;
                answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                answer.failure = FailureOf(reply->error(), answer.status,
                                           reply->property("xuan5TimedOut").toBool());
                if (answer.failure == HttpFailure::Certificate ||
                    answer.failure == HttpFailure::Network) {
                    const QString tls = reply->property("xuan5TlsError").toString();
                    answer.detail = Utf8(tls.isEmpty() ? reply->errorString() : tls);
                }
                const QByteArray bytes = reply->readAll();
                answer.body.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
                done(std::move(answer));
            });
}

}  // namespace xuan5::ui
