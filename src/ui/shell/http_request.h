// The one door to the network: an HTTP exchange that never blocks the window. The answer comes
// back through a callback on the user-interface thread, with the status and the way it failed.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

namespace xuan5::ui {

inline constexpr int kHttpTimeoutMs = 40000;

// How an exchange ended, when it did not end in an answer with status 200.
enum class HttpFailure {
    None,        // an answer with status 200
    BadAddress,  // the service address is no URL
    NoAnswer,    // nothing came back within the time limit
    Refused,     // the machine answered but nothing listens there
    Network,     // the connection failed another way (unknown host, reset, TLS...)
    Status,      // the service answered with another status (401 for a refused token, 500...)
};

struct HttpReply {
    int status = 0;  // the HTTP status when the service answered, else 0
    HttpFailure failure = HttpFailure::None;
    std::string body;  // what the service sent, whatever its status

    bool ok() const { return failure == HttpFailure::None; }
    // The body of a successful exchange; empty for any failure, which is how the windows have
    // always read an unanswered request.
    std::string Body() const { return ok() ? body : std::string(); }
};

class HttpClient : public QObject {
    Q_OBJECT
  public:
    explicit HttpClient(QObject* parent = nullptr);
    // Requests still out are abandoned without calling their callbacks.
    ~HttpClient() override;

    // Sent as "Authorization: Bearer <token>" when not empty.
    void SetToken(const QString& token) { token_ = token; }
    // Longest time an exchange may take, from sending the request to its answer.
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }
    int TimeoutMs() const { return timeoutMs_; }

    // `method` "GET" makes a GET; anything else is a form POST of `body`. `received`, when
    // given, hears of the answer's bytes as they come: so far, and in all (-1 while unknown).
    void HttpRequest(const QString& method, const QString& url, const QByteArray& body,
                     std::function<void(HttpReply)> done,
                     std::function<void(qint64 received, qint64 total)> received = {});

    // Drops kept-alive connections, so a server that is going away is not waited for.
    void ClearConnectionCache() { manager_.clearConnectionCache(); }

  private:
    QNetworkAccessManager manager_;
    QString token_;
    int timeoutMs_ = kHttpTimeoutMs;
};

}  // namespace xuan5::ui
