// The one door to the network: an HTTP exchange that never blocks the window. The answer comes
// back through a callback on the user-interface thread, with the status and the way it failed.
#pragma once

#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QSslCertificate>
#include <QString>
#include <functional>
#include <string>

namespace xuan5::ui {

inline constexpr int kHttpTimeoutMs = 40000;

// How an exchange ended, when it did not end in an answer with status 200.
enum class HttpFailure {
    None,         // an answer with status 200
    BadAddress,   // the service address is no http:// or https:// URL
    Insecure,     // plain http:// to another machine: the token would cross the network readable
    NoAnswer,     // nothing came back within the time limit
    Refused,      // the machine answered but nothing listens there
    Certificate,  // the service's certificate could not be verified (or ca= could not be read)
    Network,      // the connection failed another way (unknown host, reset...)
    Status,       // the service answered with another status (401 for a refused token, 500...)
};

struct HttpReply {
    int status = 0;  // the HTTP status when the service answered, else 0
    HttpFailure failure = HttpFailure::None;
    std::string body;    // what the service sent, whatever its status
    std::string detail;  // what the network layer said of a Certificate or Network failure
    int timeoutMs = 0;   // the time limit the request was sent with

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
    // Certificates (PEM) trusted for https:// besides the system's, for a service with a
    // self-signed certificate. A file that holds none fails every https:// request, saying so.
    void SetCaFile(const QString& file);
    // Longest time an exchange may take, from sending the request to its answer.
    void SetTimeoutMs(int ms) { timeoutMs_ = ms; }
    int TimeoutMs() const { return timeoutMs_; }

    // `method` "GET" makes a GET; anything else is a form POST of `body`. http:// is sent to
    // this machine only (127.0.0.0/8, ::1, localhost); another machine is reached by https://,
    // its certificate verified against the system's store and the ca= file. `received`, when
    // given, hears of the answer's bytes as they come: so far, and in all (-1 while unknown).
    void HttpRequest(const QString& method, const QString& url, const QByteArray& body,
                     std::function<void(HttpReply)> done,
                     std::function<void(qint64 received, qint64 total)> received = {});

    // Drops kept-alive connections, so a server that is going away is not waited for.
    void ClearConnectionCache() { manager_.clearConnectionCache(); }

  private:
    void AnswerLater(std::function<void(HttpReply)> done, HttpReply reply);

    QNetworkAccessManager manager_;
    QString token_;
    QList<QSslCertificate> caCertificates_;  // the ca= file's, then the system's as well
    bool systemCasAdded_ = false;
    QString caError_;
    int timeoutMs_ = kHttpTimeoutMs;
};

}  // namespace xuan5::ui
