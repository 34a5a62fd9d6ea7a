#include "ui_test_support.h"

#include <QScrollArea>
#include <QScrollBar>

#include <httplib.h>

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <cmath>

namespace xuan5::ui::test {

std::string SampleLineText(int seed) {
    std::string text;
    for (int i = 1; i <= 120; ++i) {
        const int value = static_cast<int>(std::lround(1500.0 * std::sin(i / 10.0 + seed))) +
                          seed * 100 + i * 7 + 1;
        if (i > 1) text += '*';
        text += std::to_string(value == 0 ? 1 : value);
    }
    return text;
}

DataFolder::DataFolder(int emptySlot) {
    QDir(dir_.path()).mkpath(QStringLiteral("data"));
    std::string bytes;
    for (int k = 0; k < 15; ++k) {
        if (k != emptySlot) bytes += SampleLineText(k);
        bytes += "\r\n";
    }
    bytes += "********\r\n";
    WriteStore(bytes);
}

QString DataFolder::StorePath() const {
    return QDir(dir_.path()).filePath("data/data.mdb");
}

void DataFolder::WriteStore(const std::string& bytes) const {
    QFile file(StorePath());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

std::string DataFolder::ReadStore() const {
    QFile file(StorePath());
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll().toStdString();
}

std::string DrawNumbers(int period) {
    // A fixed pseudo-random permutation per period; the first five are the draw.
    unsigned state = static_cast<unsigned>(period) * 2654435761u + 12345u;
    int numbers[11];
    for (int i = 0; i < 11; ++i) numbers[i] = i + 1;
    for (int i = 10; i > 0; --i) {
        state = state * 1103515245u + 12345u;
        const int j = static_cast<int>((state >> 16) % static_cast<unsigned>(i + 1));
        std::swap(numbers[i], numbers[j]);
    }
    std::string text;
    for (int i = 0; i < 5; ++i) {
        if (i) text += ',';
        if (numbers[i] < 10) text += '0';
        text += std::to_string(numbers[i]);
    }
    return text;
}

std::vector<std::string> FeedLines(int newest, int count) {
    std::vector<std::string> lines;
    for (int k = 0; k < count; ++k) {
        const int period = ((newest - k) % 1000 + 1000) % 1000;
        char buffer[8];
        std::snprintf(buffer, sizeof buffer, "%03d", period);
        lines.push_back(std::string(buffer) + "-" + DrawNumbers(newest - k));
    }
    return lines;
}

std::string FeedResponse(const std::vector<std::string>& lines) {
    std::string text = "**ok***-*";
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += "\r\n";
        text += lines[i];
    }
    return text + "*-*end of list";
}

FeedServer::FeedServer() : server_(std::make_unique<httplib::Server>()) {
    auto handler = [this](const httplib::Request& req, httplib::Response& res) {
        std::chrono::milliseconds delay;
        {
            std::lock_guard lock(mutex_);
            const auto q = req.target.find('?');
            requests_.push_back({req.method, req.path,
                                 q == std::string::npos ? "" : req.target.substr(q + 1),
                                 req.get_header_value("Authorization"),
                                 req.get_header_value("Content-Type"), req.body});
            const std::string& query = requests_.back().query;
            const auto cz = query.find("cz=");
            const int region = cz == std::string::npos ? 0 : std::atoi(query.c_str() + cz + 3);
            const auto own = regionReplies_.find(region);
            const Reply& reply = own != regionReplies_.end() ? own->second : reply_;
            res.status = reply.status;
            res.set_content(reply.body, "text/plain");
            delay = reply.delay;
        }
        if (delay.count() > 0) std::this_thread::sleep_for(delay);
    };
    server_->Post("/11xuan5/huaxian/login.asp", handler);
    server_->Get("/11xuan5/huaxian/login.asp", handler);
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
    // Stopping before the listener runs would leave join() waiting for ever.
    while (!server_->is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

FeedServer::~FeedServer() {
    Stop();
}

void FeedServer::Stop() {
    if (!thread_.joinable()) return;
    server_->stop();
    thread_.join();
}

QString FeedServer::Url() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(port_);
}

void FeedServer::Answer(int status, std::string body, std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    reply_ = {status, std::move(body), delay};
    regionReplies_.clear();
}

void FeedServer::AnswerRegion(int region, int status, std::string body,
                              std::chrono::milliseconds delay) {
    std::lock_guard lock(mutex_);
    regionReplies_[region] = {status, std::move(body), delay};
}

std::vector<RecordedRequest> FeedServer::Requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

TrickleServer::TrickleServer(int everyMs)
    : server_(std::make_unique<QTcpServer>()), timer_(std::make_unique<QTimer>()) {
    server_->listen(QHostAddress::LocalHost, 0);
    QObject::connect(server_.get(), &QTcpServer::newConnection, [this] {
        while (QTcpSocket* socket = server_->nextPendingConnection()) {
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                socket->readAll();
                if (std::find(answering_.begin(), answering_.end(), socket) != answering_.end())
                    return;
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\n"
                    "Content-Length: 1000000\r\n\r\n");
                answering_.emplace_back(socket);
            });
        }
    });
    timer_->setInterval(everyMs);
    QObject::connect(timer_.get(), &QTimer::timeout, [this] {
        for (const QPointer<QTcpSocket>& socket : answering_) {
            if (socket && socket->state() == QAbstractSocket::ConnectedState &&
                socket->write("*") == 1)
                ++bytesSent_;
        }
    });
    timer_->start();
}

TrickleServer::~TrickleServer() {
    timer_->stop();
    for (const QPointer<QTcpSocket>& socket : answering_)
        if (socket) socket->abort();
}

QString TrickleServer::Url() const {
    return QStringLiteral("http://127.0.0.1:%1").arg(server_->serverPort());
}

Shell::Shell(int timeoutMs) {
    Start(ServiceSettings{server_.Url(), QString::fromLatin1(kTestToken)}, timeoutMs);
}

Shell::Shell(const ServiceSettings& service, int timeoutMs) {
    Start(service, timeoutMs);
}

void Shell::Start(const ServiceSettings& service, int timeoutMs) {
    service_ = service;
    timeoutMs_ = timeoutMs;
    window_ = std::make_unique<Fmain>(FmainOptions{data_.Path() + "/data", service, timeoutMs});
    window_->SetEndApplication([this](int code) { endCodes_.push_back(code); });
    startupOk_ = window_->ApplyStartupDefaults();
}

Shell::~Shell() {
    // Closing the kept-alive connection first lets the server stop at once.
    window_->Context().services.Http().ClearConnectionCache();
    window_.reset();
    server_.Stop();
}

bool Shell::Restart() {
    window_->Context().services.Http().ClearConnectionCache();
    window_.reset();
    Start(service_, timeoutMs_);
    return startupOk_;
}

bool Shell::Fetch() {
    window_->ManualFetch();
    return WaitForFetch();
}

bool Shell::WaitForFetch() {
    return QTest::qWaitFor([this] { return !window_->FetchInFlight(); }, 15000);
}

bool Shell::FetchFeed(int newest) {
    server_.Answer(200, FeedResponse(FeedLines(newest, 120)));
    return Fetch();
}

namespace {

bool IsControl(QWidget* w) {
    // A scroll area around a panel only holds it; its scroll bars are no control of the window's.
    if (qobject_cast<QScrollArea*>(w)) return false;
    if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
        qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QLabel*>(w))
        return true;
    // Any other widget without child widgets paints itself: a chart, a table picture.
    for (QObject* child : w->children())
        if (child->isWidgetType()) return false;
    return w->metaObject() != &QWidget::staticMetaObject;
}

void Collect(QWidget* root, QWidget* w, std::vector<QWidget*>& out) {
    for (QObject* child : w->children()) {
        auto* cw = qobject_cast<QWidget*>(child);
        if (!cw || cw->isWindow() || !cw->isVisibleTo(root) || qobject_cast<QScrollBar*>(cw))
            continue;
        if (IsControl(cw))
            out.push_back(cw);
        else
            Collect(root, cw, out);
    }
}

}  // namespace

std::vector<QWidget*> VisibleControls(QWidget* root) {
    std::vector<QWidget*> out;
    Collect(root, root, out);
    return out;
}

QColor PaintedColorNearCorner(QWidget* widget) {
    const QImage image = widget->grab().toImage();
    return image.pixelColor(4, image.height() / 2);
}

void SetBases(Session& session, const std::optional<LineTexts>& lines,
              const std::optional<std::vector<std::string>>& instances) {
    PlanLogInput noRecord;
    noRecord.autoPlan = false;
    session.Shown().IssuePlan(lines, instances, session.Shown().Plan(), noRecord, std::nullopt);
}

}  // namespace xuan5::ui::test
