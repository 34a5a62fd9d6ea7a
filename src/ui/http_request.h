// The one door to the network: an HTTP exchange that never blocks the window. The answer comes
// back through a callback on the user-interface thread.
#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

namespace xuan5::ui {

inline constexpr int kHttpTimeoutMs = 40000;

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

    // `method` "GET" makes a GET; anything else is a form POST of `body`. `done` receives the
    // response body when the status is 200 and an empty text on any other status or failure.
    void HttpRequest(const QString& method, const QString& url, const QByteArray& body,
                     std::function<void(std::string)> done);

    // Drops kept-alive connections, so a server that is going away is not waited for.
    void ClearConnectionCache() { manager_.clearConnectionCache(); }

  private:
    QNetworkAccessManager manager_;
    QString token_;
    int timeoutMs_ = kHttpTimeoutMs;
};

}  // namespace xuan5::ui
