// Shared pieces of the widget tests: a data folder with a curve store, a loopback feed server
// and a main window wired to both.
#pragma once

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "message_recorder.h"
#include "plans/monitor.h"
#include "ui/common/message_box.h"
#include "ui/monitor/monitor_table_widget.h"
#include "ui/shell/fmain.h"
#include "ui/widgets/clickable_label.h"
#include "ui/widgets/progress_picture.h"
#include "ui/widgets/text_boxes.h"

namespace httplib {
class Server;
}

namespace xuan5::ui::test {

// One valid saved line: 120 values joined by "*".
std::string SampleLineText(int seed);

// A data folder holding data/data.mdb with fifteen saved lines (slot `emptySlot` left empty
// when 0..14).
class DataFolder {
  public:
    explicit DataFolder(int emptySlot = -1);
    QString Path() const { return dir_.path(); }
    QString StorePath() const;
    void WriteStore(const std::string& bytes) const;
    std::string ReadStore() const;

  private:
    QTemporaryDir dir_;
};

// The numbers of a simulated draw, five distinct numbers in delivery order.
std::string DrawNumbers(int period);

// Payload lines newest first: `count` periods from `newest` downwards (three digits).
std::vector<std::string> FeedLines(int newest, int count);

// A complete response: marker, separator, the lines joined by CR LF, separator, tail.
std::string FeedResponse(const std::vector<std::string>& lines);

struct RecordedRequest {
    std::string method;
    std::string path;
    std::string query;  // raw, in the order sent
    std::string authorization;
    std::string contentType;
    std::string body;
};

// cpp-httplib on 127.0.0.1 with an ephemeral port, answering every request to the feed path
// with the configured status, body and delay.
class FeedServer {
  public:
    FeedServer();
    ~FeedServer();
    FeedServer(const FeedServer&) = delete;
    FeedServer& operator=(const FeedServer&) = delete;

    QString Url() const;
    int Port() const { return port_; }
    // Every region's answer; it drops the answers of single regions.
    void Answer(int status, std::string body, std::chrono::milliseconds delay = {});
    // The answer to requests for one region (cz=region) only.
    void AnswerRegion(int region, int status, std::string body,
                      std::chrono::milliseconds delay = {});
    std::vector<RecordedRequest> Requests() const;
    void Stop();

  private:
    std::unique_ptr<httplib::Server> server_;
    std::thread thread_;
    int port_ = 0;
    mutable std::mutex mutex_;
    struct Reply {
        int status = 200;
        std::string body;
        std::chrono::milliseconds delay{0};
    };
    Reply reply_;
    std::map<int, Reply> regionReplies_;
    std::vector<RecordedRequest> requests_;
};

// A server on 127.0.0.1 that never finishes an answer: to every request it sends a status line
// and headers promising a long body, then one byte of the body every `everyMs` for as long as
// the client stays. It runs on the test's own event loop.
class TrickleServer {
  public:
    explicit TrickleServer(int everyMs = 50);
    ~TrickleServer();
    TrickleServer(const TrickleServer&) = delete;
    TrickleServer& operator=(const TrickleServer&) = delete;

    QString Url() const;
    // Body bytes sent so far, over all connections.
    qint64 BytesSent() const { return bytesSent_; }

  private:
    std::unique_ptr<QTcpServer> server_;
    std::unique_ptr<QTimer> timer_;
    std::vector<QPointer<QTcpSocket>> answering_;
    qint64 bytesSent_ = 0;
};

inline constexpr const char* kTestToken = "t0ken-for-tests";

// A started main window on a fresh data folder, talking to a fresh feed server, with every
// message recorded and the program's end recorded instead of carried out.
class Shell {
  public:
    explicit Shell(int timeoutMs = 5000);
    // A window talking to another service than the loopback feed server.
    explicit Shell(const ServiceSettings& service, int timeoutMs = 5000);
    ~Shell();

    Fmain& Window() { return *window_; }
    Session& Tables() { return window_->Tables(); }
    FeedServer& Server() { return server_; }
    MessageRecorder& Messages() { return messages_; }
    DataFolder& Data() { return data_; }
    const std::vector<int>& EndCodes() const { return endCodes_; }
    bool StartupOk() const { return startupOk_; }

    template <typename T>
    T* Find(const QString& name) const {
        return window_->findChild<T*>(name);
    }

    // Closes the window and starts a new one on the same data folder and service, as a user
    // restarting the program.
    bool Restart();

    // Presses "手动更新" and waits until the answer is handled; false on a stuck fetch.
    bool Fetch();
    // Serves a 120-line feed with `newest` on top and fetches it.
    bool FetchFeed(int newest);
    // Waits for a fetch the window started itself (a region switch) to be handled.
    bool WaitForFetch();

  private:
    void Start(const ServiceSettings& service, int timeoutMs);

    ServiceSettings service_;
    int timeoutMs_ = 0;
    DataFolder data_;
    FeedServer server_;
    MessageRecorder messages_;
    std::vector<int> endCodes_;
    std::unique_ptr<Fmain> window_;
    bool startupOk_ = false;
};

// Puts line bases and instance plans in force in the shown region's book, as a plan would,
// without a record.
void SetBases(Session& session, const std::optional<LineTexts>& lines,
              const std::optional<std::vector<std::string>>& instances = std::nullopt);

// Leaf controls (buttons, boxes, labels, lists, pictures) visible inside `root`.
std::vector<QWidget*> VisibleControls(QWidget* root);

// The colour of a pixel a few pixels inside the widget's top-left corner, as painted.
QColor PaintedColorNearCorner(QWidget* widget);

}  // namespace xuan5::ui::test
