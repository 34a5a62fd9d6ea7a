#include "ui/common/failure_text.h"

namespace xuan5::ui {

namespace {

// The first line of what the service said about a refused request, kept short: it names what
// was wrong with the request ("unknown cz or n ...") without filling the status line.
QString ServiceWords(const std::string& body) {
    constexpr int kLongest = 60;
    QString line = QString::fromUtf8(body).section(QLatin1Char('\n'), 0, 0).trimmed();
    line.removeIf([](QChar c) { return !c.isPrint(); });
    if (line.size() > kLongest) line = line.left(kLongest) + QStringLiteral("…");
    return line;
}

QString StatusReason(const HttpReply& reply) {
    if (reply.status == 401 || reply.status == 403)
        return QStringLiteral("令牌被拒绝，请检查 service.ini 的 token=");
    const QString words = ServiceWords(reply.body);
    const QString status = words.isEmpty()
                               ? QStringLiteral("HTTP %1").arg(reply.status)
                               : QStringLiteral("HTTP %1：%2").arg(reply.status).arg(words);
    return reply.status >= 500 ? QStringLiteral("服务出错（%1）").arg(status)
                               : QStringLiteral("服务拒绝了请求（%1）").arg(status);
}

}  // namespace

QString FailureReason(const HttpReply& reply) {
    const QString detail = QString::fromStdString(reply.detail);
    switch (reply.failure) {
        case HttpFailure::None:
            return reply.body.empty() ? QStringLiteral("服务的应答是空的") : QString();
        case HttpFailure::BadAddress:
            return QStringLiteral("服务地址无效，请检查 service.ini 的 url=");
        case HttpFailure::Insecure:
            return QStringLiteral("远程服务须用 https:// 地址（http:// 只用于本机）");
        case HttpFailure::NoAnswer:
            return QStringLiteral("%1秒内没有应答").arg((reply.timeoutMs + 999) / 1000);
        case HttpFailure::Refused:
            return QStringLiteral("连接被拒绝，服务没有运行");
        case HttpFailure::Certificate:
            return QStringLiteral("服务的证书无法验证，自签名证书请在 service.ini 设 ca=（%1）")
                .arg(detail);
        case HttpFailure::Network:
            return detail.isEmpty() ? QStringLiteral("网络错误")
                                    : QStringLiteral("网络错误（%1）").arg(detail);
        case HttpFailure::Status:
            return StatusReason(reply);
    }
    return QStringLiteral("网络错误");
}

QString WithFailureReason(const QString& text, const HttpReply& reply) {
    const QString reason = FailureReason(reply);
    return reason.isEmpty() ? text : text + QStringLiteral("：") + reason;
}

QString WithFailureReason(const char* utf8, const HttpReply& reply) {
    return WithFailureReason(QString::fromUtf8(utf8), reply);
}

}  // namespace xuan5::ui
