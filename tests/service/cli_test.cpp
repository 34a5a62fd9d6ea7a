#include "cli.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>
#include <thread>

#include "database.h"
#include "service_test_support.h"
#include "token.h"

extern char** environ;

namespace xuan5::service {
namespace {

using namespace std::chrono_literals;
using testing::kDefaultRecord;
using testing::TempDir;

// The real program as a child process with its output on pipes.
class Child {
  public:
    explicit Child(const std::vector<std::string>& args) {
        int out[2], err[2];
        if (::pipe(out) != 0 || ::pipe(err) != 0) throw std::runtime_error("pipe");
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_adddup2(&actions, err[1], 2);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        posix_spawn_file_actions_addclose(&actions, err[0]);
        std::vector<std::string> full = {XUAN5_SERVICE_BINARY};
        full.insert(full.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& arg : full) argv.push_back(arg.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(out[1]);
        ::close(err[1]);
        out_ = out[0];
        err_ = err[0];
        if (rc != 0) throw std::runtime_error("cannot start " + full[0]);
    }
    ~Child() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(out_);
        ::close(err_);
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The first line of standard output, or empty when none comes within the time.
    std::string ReadLine(std::chrono::milliseconds within) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        while (out_text_.find('\n') == std::string::npos &&
               std::chrono::steady_clock::now() < deadline) {
            Pump(50ms);
        }
        const auto newline = out_text_.find('\n');
        if (newline == std::string::npos) return {};
        std::string line = out_text_.substr(0, newline);
        out_text_.erase(0, newline + 1);
        return line;
    }

    void Signal(int signal) { ::kill(pid_, signal); }

    // Exit code (128 + signal when killed), or -1 when it is still running after `within`.
    int Wait(std::chrono::milliseconds within) {
        const auto deadline = std::chrono::steady_clock::now() + within;
        for (;;) {
            Pump(20ms);
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                while (Pump(0ms)) {
                }
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            if (std::chrono::steady_clock::now() > deadline) return -1;
        }
    }

    const std::string& out() const { return out_text_; }
    const std::string& err() const { return err_text_; }

  private:
    // Reads what is available on both pipes; false when nothing was.
    bool Pump(std::chrono::milliseconds wait) {
        pollfd fds[2] = {{out_, POLLIN, 0}, {err_, POLLIN, 0}};
        if (::poll(fds, 2, static_cast<int>(wait.count())) <= 0) return false;
        bool got = false;
        char buffer[4096];
        for (int i = 0; i < 2; ++i) {
            if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
            const auto n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? out_text_ : err_text_).append(buffer, static_cast<std::size_t>(n));
                got = true;
            }
        }
        return got;
    }

    pid_t pid_ = -1;
    int out_ = -1;
    int err_ = -1;
    std::string out_text_;
    std::string err_text_;
};

struct Finished {
    int code;
    std::string out;
    std::string err;
};

Finished RunProgram(const std::vector<std::string>& args) {
    Child child(args);
    const int code = child.Wait(60s);
    return {code, child.out(), child.err()};
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

void WriteFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// Starts `serve` and returns its port, read from the line it prints once it listens.
int StartServing(Child& child) {
    const std::string line = child.ReadLine(30s);
    std::smatch match;
    if (!std::regex_search(line, match, std::regex(R"(listening on http://127\.0\.0\.1:(\d+))"))) {
        ADD_FAILURE() << "no listening line: '" << line << "' " << child.err();
        return 0;
    }
    return std::stoi(match[1]);
}

httplib::Result Post(int port, const std::string& target, const std::string& token) {
    httplib::Client client("127.0.0.1", port);
    client.set_url_encode(false);
    client.set_connection_timeout(5s);
    client.set_read_timeout(5s);
    return client.Post(target, {{"Authorization", "Bearer " + token}}, "",
                       "application/x-www-form-urlencoded");
}

TEST(CommandLine, AddUserPrintsOnlyAFreshTokenAndStoresNoCopyOfIt) {
    TempDir dir;
    const std::string db = dir.File("s.db");
    const Finished alice = RunProgram({"add-user", "alice", "--db", db});
    const Finished bob = RunProgram({"add-user", "--db", db, "bob"});
    ASSERT_EQ(alice.code, 0) << alice.err;
    ASSERT_EQ(bob.code, 0) << bob.err;
    const std::regex one_token_line("[0-9a-f]{64}\n");
    ASSERT_TRUE(std::regex_match(alice.out, one_token_line)) << alice.out;
    ASSERT_TRUE(std::regex_match(bob.out, one_token_line)) << bob.out;
    EXPECT_NE(alice.out, bob.out);

    const std::string alice_token = alice.out.substr(0, 64);
    const std::string bytes = FileBytes(db);
    EXPECT_EQ(bytes.find(alice_token), std::string::npos);
    EXPECT_NE(bytes.find(Sha256Hex(alice_token)), std::string::npos);

    Database reopened(db);
    EXPECT_TRUE(reopened.FindUser(Sha256Hex(alice_token)));

    const Finished again = RunProgram({"add-user", "alice", "--db", db});
    EXPECT_EQ(again.code, 1);
    EXPECT_TRUE(again.out.empty());
    EXPECT_NE(again.err.find("exists"), std::string::npos);
    EXPECT_EQ(RunProgram({"add-user", "carol"}).code, 2);
    EXPECT_EQ(RunProgram({"add-user", "bad\nname", "--db", db}).code, 2);
    EXPECT_EQ(RunProgram({"add-user", "a", "b", "--db", db}).code, 2);
}

TEST(CommandLine, ImportStoresGoodLinesAndReportsTheRejectedOnes) {
    TempDir dir;
    const std::string db = dir.File("s.db");
    const std::string csv = dir.File("results.csv");
    WriteFile(csv,
              "date,period,n1,n2,n3,n4,n5\r\n"
              "2024-05-06,1,1,2,3,4,5\r\n"
              "2024-05-06,2,1,2,3,4\r\n"
              "2024-05-06,3,11,10,9,8,7\r\n"
              "2024-05-06,4,1,1,3,4,5\r\n"
              "2024-05-06,5,6,5,4,3,2\r\n");
    const Finished imported = RunProgram({"import", "--db", db, "--region", "2", csv});
    EXPECT_EQ(imported.code, 0) << imported.err;
    EXPECT_NE(imported.out.find("imported 3 draws into region 2"), std::string::npos)
        << imported.out;
    EXPECT_NE(imported.out.find("rejected 2 lines"), std::string::npos);
    EXPECT_NE(imported.err.find("line 3: expected 7 fields"), std::string::npos) << imported.err;
    EXPECT_NE(imported.err.find("line 5: the five numbers must differ"), std::string::npos);
    {
        Database reopened(db);
        const auto draws = reopened.RecentDraws(2, 120);
        ASSERT_EQ(draws.size(), 3u);
        EXPECT_EQ(draws[0], (Draw{"2024-05-06", 5, {6, 5, 4, 3, 2}}));
        EXPECT_EQ(draws[2], (Draw{"2024-05-06", 1, {1, 2, 3, 4, 5}}));
        EXPECT_TRUE(reopened.RecentDraws(1, 120).empty());
    }

    const std::string bad = dir.File("bad.csv");
    WriteFile(bad, "2024-05-06,1,1,2,3\nnonsense\n");
    const Finished nothing = RunProgram({"import", "--db", db, "--region", "1", bad});
    EXPECT_EQ(nothing.code, 1);
    EXPECT_NE(nothing.err.find("line 1:"), std::string::npos);
    EXPECT_NE(nothing.err.find("line 2:"), std::string::npos);

    const std::string empty = dir.File("empty.csv");
    WriteFile(empty, "");
    EXPECT_EQ(RunProgram({"import", "--db", db, "--region", "1", empty}).code, 1);
    const Finished missing =
        RunProgram({"import", "--db", db, "--region", "1", dir.File("no.csv")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
    EXPECT_EQ(RunProgram({"import", "--db", db, "--region", "1", dir.File("")}).code, 1);
    EXPECT_EQ(RunProgram({"import", "--db", db, "--region", "4", csv}).code, 2);
    EXPECT_EQ(RunProgram({"import", "--db", db, csv}).code, 2);
    Database reopened(db);
    EXPECT_TRUE(reopened.RecentDraws(1, 120).empty());
}

TEST(CommandLine, BadUsageIsReportedWithExitCodeTwo) {
    TempDir dir;
    const std::string db = dir.File("s.db");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {},
             {"frobnicate"},
             {"serve"},
             {"serve", "--db", db, "--period-seconds", "5"},
             {"serve", "--db", db, "--simulate", "--period-seconds", "0"},
             {"serve", "--db", db, "--port", "70000"},
             {"serve", "--db", db, "--port", "80x"},
             {"serve", "--db", db, "--verbose"},
             {"serve", "--db", db, "--db", db},
             {"serve", "--db"},
             // Beyond loopback the tokens would travel readable.
             {"serve", "--db", db, "--host", "0.0.0.0"},
             {"serve", "--db", db, "--tls-cert", db},
             {"backup", "--db", db},
             {"restore", "--db", db, "--from", db},
         }) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCommandLine(args, out, err, [] { return true; }), 2)
            << (args.empty() ? "" : args[0]);
        EXPECT_NE(err.str().find("usage"), std::string::npos);
    }
}

TEST(CommandLine, HelpAndVersionAnswerAndDoNothingElse) {
    TempDir dir;
    const std::string db = dir.File("s.db");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"help"}, {"serve", "--db", db, "--help"}}) {
        std::ostringstream out, err;
        EXPECT_EQ(RunCommandLine(args, out, err, [] { return false; }), 0) << args.back();
        EXPECT_NE(out.str().find("add-user NAME --db FILE"), std::string::npos);
        EXPECT_TRUE(err.str().empty());
    }
    const Finished version = RunProgram({"add-user", "x", "--db", db, "--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(
        std::regex_match(version.out, std::regex("xuan5-service [0-9]+\\.[0-9]+\\.[0-9]+\n")))
        << version.out;
    EXPECT_FALSE(std::filesystem::exists(db)) << "no user was added";
}

TEST(CommandLine, ServeAnswersUntilSigtermThenClosesTheDatabaseCleanly) {
    TempDir dir;
    const std::string db = dir.File("s.db");
    const std::string token = RunProgram({"add-user", "alice", "--db", db}).out.substr(0, 64);
    Child server({"serve", "--db", db, "--port", "0", "--simulate", "--period-seconds", "2"});
    const int port = StartServing(server);
    ASSERT_GT(port, 0);

    const auto feed = Post(port, "/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=1&a=0.5", token);
    ASSERT_TRUE(feed);
    EXPECT_EQ(feed->body.rfind("**ok***-*", 0), 0u);
    const auto saved =
        Post(port, "/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=" + std::string(kDefaultRecord),
             token);
    ASSERT_TRUE(saved);
    EXPECT_NE(saved->body.find(kSuccessMarker), std::string::npos);
    EXPECT_EQ(Post(port, "/11xuan5/huaxian/save.asp?lx=2&zt=2&", "nobody")->status, 401);

    // A second server cannot take the same port and says so.
    Child rival({"serve", "--db", dir.File("other.db"), "--port", std::to_string(port)});
    EXPECT_EQ(rival.Wait(30s), 1);
    EXPECT_NE(rival.err().find("cannot listen"), std::string::npos) << rival.err();

    // The compressed schedule brings a new period within a few seconds.
    std::this_thread::sleep_for(3500ms);
    const auto later = Post(port, "/11xuan5/huaxian/login.asp?lx=2&zt=2&cz=1&a=0.6", token);
    ASSERT_TRUE(later);
    ASSERT_EQ(later->body.rfind("**ok***-*", 0), 0u);
    EXPECT_NE(later->body.substr(9, 18), feed->body.substr(9, 18));

    server.Signal(SIGTERM);
    EXPECT_EQ(server.Wait(30s), 0) << server.err();
    EXPECT_NE(server.out().find("stopped"), std::string::npos);
    // A clean close checkpoints and removes the write-ahead log.
    EXPECT_FALSE(std::filesystem::exists(db + "-wal"));
    Database reopened(db);
    EXPECT_EQ(reopened.IntegrityCheck(), "ok");
    EXPECT_EQ(reopened.LoadSettings(*reopened.FindUser(Sha256Hex(token))),
              std::string(kDefaultRecord));
}

TEST(CommandLine, KillDashNineDuringSavesLosesNoAcknowledgedRecord) {
    TempDir dir;
    const std::string db = dir.File("s.db");
    const std::string token = RunProgram({"add-user", "alice", "--db", db}).out.substr(0, 64);
    int last_acknowledged = -1;
    for (int round = 0; round < 3; ++round) {
        Child server({"serve", "--db", db, "--port", "0"});
        const int port = StartServing(server);
        ASSERT_GT(port, 0);
        std::atomic<int> acknowledged{last_acknowledged};
        std::atomic<bool> stop{false};
        std::thread saver([&] {
            for (int n = last_acknowledged + 1; !stop; ++n) {
                const auto res = Post(port,
                                      "/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=*sz*" +
                                          std::to_string(n) + "*a*b*sz*",
                                      token);
                if (!res) return;  // the server is gone
                if (res->body.find(kSuccessMarker) != std::string::npos) acknowledged = n;
            }
        });
        while (acknowledged < last_acknowledged + 30) std::this_thread::sleep_for(1ms);
        server.Signal(SIGKILL);
        EXPECT_EQ(server.Wait(30s), 128 + SIGKILL);
        stop = true;
        saver.join();
        ASSERT_GT(acknowledged.load(), last_acknowledged);

        Database reopened(db);
        ASSERT_EQ(reopened.IntegrityCheck(), "ok");
        const auto record = reopened.LoadSettings(*reopened.FindUser(Sha256Hex(token)));
        ASSERT_TRUE(record);
        const int stored = std::stoi(record->substr(4));
        // The save in flight at the kill may or may not have been committed.
        EXPECT_TRUE(stored == acknowledged || stored == acknowledged + 1)
            << "stored " << stored << ", acknowledged " << acknowledged;
        last_acknowledged = stored;
    }
}

// The number a record "*sz*N*a*b*sz*" holds, -1 for none.
int RecordNumber(const std::optional<std::string>& record) {
    return record && record->starts_with("*sz*") ? std::stoi(record->substr(4)) : -1;
}

TEST(CommandLine, BackupWhileServingUnderLoadThenRestoreWhenStopped) {
    TempDir dir;
    const std::string db = dir.File("s.db");
    const std::string backup = dir.File("backup.db");
    const std::string token = RunProgram({"add-user", "alice", "--db", db}).out.substr(0, 64);
    Child server({"serve", "--db", db, "--port", "0", "--simulate"});
    const int port = StartServing(server);
    ASSERT_GT(port, 0);

    std::atomic<int> acknowledged{-1};
    std::atomic<bool> stop{false};
    std::thread saver([&] {
        for (int n = 0; !stop; ++n) {
            const auto res = Post(port,
                                  "/11xuan5/huaxian/save.asp?lx=2&zt=1&uesr_shizhi=*sz*" +
                                      std::to_string(n) + "*a*b*sz*",
                                  token);
            if (res && res->body.find(kSuccessMarker) != std::string::npos) acknowledged = n;
        }
    });
    while (acknowledged < 20) std::this_thread::sleep_for(1ms);
    const int before_backup = acknowledged;
    const Finished copied = RunProgram({"backup", "--db", db, "--to", backup});
    const int after_backup = acknowledged;
    // A restore refuses to replace the database of a running service.
    const Finished refused = RunProgram({"restore", "--db", db, "--from", backup});
    stop = true;
    saver.join();
    ASSERT_EQ(copied.code, 0) << copied.err;
    EXPECT_NE(copied.out.find("(1 users, "), std::string::npos) << copied.out;
    EXPECT_EQ(refused.code, 1);
    EXPECT_NE(refused.err.find("in use by a running service"), std::string::npos) << refused.err;
    EXPECT_FALSE(std::filesystem::exists(backup + "-wal")) << "a backup is one file";
    server.Signal(SIGTERM);
    ASSERT_EQ(server.Wait(30s), 0) << server.err();
    const int latest = RecordNumber(Database(db).LoadSettings(1));
    ASSERT_GE(latest, after_backup);

    // What the backup holds is the record of one moment during the copy.
    const Finished restored = RunProgram({"restore", "--db", db, "--from", backup});
    ASSERT_EQ(restored.code, 0) << restored.err;
    std::smatch kept;
    ASSERT_TRUE(std::regex_search(restored.out, kept, std::regex("kept as (\\S+)")))
        << restored.out;
    int in_backup = -1;
    {
        Database reopened(db);
        EXPECT_EQ(reopened.IntegrityCheck(), "ok");
        in_backup = RecordNumber(reopened.LoadSettings(*reopened.FindUser(Sha256Hex(token))));
        EXPECT_GE(in_backup, before_backup);
        EXPECT_LE(in_backup, after_backup + 1);
        EXPECT_EQ(reopened.RecentDraws(1, 120).size(), 120u);
        // The database the restore replaced is kept whole beside it.
        EXPECT_EQ(RecordNumber(Database(kept[1]).LoadSettings(1)), latest);
    }
    // A damaged backup is refused before anything is replaced.
    WriteFile(dir.File("damaged.db"), FileBytes(backup).substr(0, 5000));
    const Finished damaged = RunProgram({"restore", "--db", db, "--from", dir.File("damaged.db")});
    EXPECT_EQ(damaged.code, 1);
    EXPECT_NE(damaged.err.find("no whole service database"), std::string::npos) << damaged.err;
    EXPECT_EQ(RecordNumber(Database(db).LoadSettings(1)), in_backup);
}

}  // namespace
}  // namespace xuan5::service
