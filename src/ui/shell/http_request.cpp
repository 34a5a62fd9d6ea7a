#include "ui/shell/http_request.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
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
        default:
            return HttpFailure::Network;
    }
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

void HttpClient::HttpRequest(const QString& method, const QString& url, const QByteArray& body,
                             std::function<void(HttpReply)> done,
                             std::function<void(qint64, qint64)> received) {
    QUrl target(url);
    if (!target.isValid() || target.scheme().isEmpty() || target.host().isEmpty()) {
        // Answer on the next turn of the event loop, like any network failure would.
        QMetaObject::invokeMethod(
            this,
            [done = std::move(done)] {
                done({0, HttpFailure::BadAddress, {}});
            },
            Qt::QueuedConnection);
        return;
    }
    QNetworkRequest request(target);
    if (!token_.isEmpty()) request.setRawHeader("Authorization", "Bearer " + token_.toUtf8());

    QNetworkReply* reply = nullptr;
    if (method == QLatin1String("GET")) {
        reply = manager_.get(request);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply = manager_.post(request, body);
    }
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
    connect(reply, &QNetworkReply::finished, this, [reply, done = std::move(done)] {
        reply->deleteLater();
        HttpReply answer;
        answer.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        answer.failure =
            FailureOf(reply->error(), answer.status, reply->property("xuan5TimedOut").toBool());
        const QByteArray bytes = reply->readAll();
        answer.body.assign(bytes.constData(), static_cast<std::size_t>(bytes.size()));
        done(std::move(answer));
    });
}

}  // namespace xuan5::ui
