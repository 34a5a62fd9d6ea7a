#include "cli.h"

#include <algorithm>
#include <charconv>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

#include "backup.h"
#include "csv_import.h"
#include "database.h"
#include "protocol/regions.h"
#include "server.h"
#include "token.h"

namespace xuan5::service {
namespace {

std::string Synopsis() {
    return "Usage: xuan5-service serve --db FILE [OPTION]...\n"
           "  or:  xuan5-service add-user NAME --db FILE\n"
           "  or:  xuan5-service import --db FILE --region R FILE.csv\n"
           "  or:  xuan5-service backup --db FILE --to FILE\n"
           "  or:  xuan5-service restore --db FILE --from FILE\n"
           "  or:  xuan5-service --help | --version\n";
}

// "1 山东, 2 重庆, 3 广东".
std::string RegionList() {
    std::string list;
    for (int r = 1; r <= kRegionCount; ++r) {
        if (r > 1) list += ", ";
        list += std::to_string(r) + " " + std::string(RegionNameOf(r));
    }
    return list;
}

// Also the source of the manual page (help2man): "Word:" lines become its sections.
std::string Help() {
    return Synopsis() + "\n" +
           "The result and settings service of xuan5: the draws of the 11选5 regions (" +
           RegionList() +
           ")\nand one settings record per user, kept in one SQLite file.\n"
           "\n"
           "Commands:\n"
           "  serve        answer requests until SIGINT or SIGTERM\n"
           "  add-user     create a user and print its access token, once; the database\n"
           "               keeps only its SHA-256 digest\n"
           "  import       store the draws of a CSV file (date,period,n1,n2,n3,n4,n5) for\n"
           "               region R, reporting each rejected line\n"
           "  backup       copy the database into one self-contained file, also while the\n"
           "               service runs (SQLite's online backup); --to is replaced only by a\n"
           "               complete, checked copy\n"
           "  restore      put a backup in place of the database while the service is\n"
           "               stopped; the replaced database is kept beside it as\n"
           "               FILE.before-restore-YYYYMMDD-HHMMSS\n"
           "\n"
           "Options of serve:\n"
           "  --host HOST          the address to listen on (" +
           std::string(kDefaultHost) +
           "); plain HTTP is served\n"
           "                       on loopback addresses only\n"
           "  --port PORT          the port (" +
           std::to_string(kDefaultPort) +
           "; 0 takes any free one)\n"
           "  --tls-cert FILE      serve HTTPS with this certificate (PEM), with --tls-key\n"
           "  --tls-key FILE       the certificate's private key (PEM)\n"
           "  --simulate           draw deterministic results on the regions' schedules\n"
           "  --period-seconds N   with --simulate: a period every N seconds, for\n"
           "                       demonstrations\n"
           "\n"
           "Exit status:\n"
           "  0 done, 1 failed (database, port in use, nothing imported), 2 bad usage.\n";
}

class UsageError : public std::runtime_error {
  public:
    explicit UsageError(const std::string& what) : std::runtime_error("bad usage: " + what) {}
};

// Options may stand anywhere among the positional words.
struct Arguments {
    std::vector<std::string> positional;
    std::vector<std::pair<std::string, std::string>> values;
    std::vector<std::string> flags;

    static Arguments Parse(const std::vector<std::string>& args,
                           const std::vector<std::string>& value_options,
                           const std::vector<std::string>& flag_options) {
        Arguments parsed;
        for (std::size_t i = 0; i < args.size(); ++i) {
            const std::string& arg = args[i];
            if (!arg.starts_with("--")) {
                parsed.positional.push_back(arg);
            } else if (std::find(flag_options.begin(), flag_options.end(), arg) !=
                       flag_options.end()) {
                parsed.flags.push_back(arg);
            } else if (std::find(value_options.begin(), value_options.end(), arg) !=
                       value_options.end()) {
                if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
                parsed.values.emplace_back(arg, args[++i]);
            } else {
                throw UsageError("unknown option " + arg);
            }
        }
        return parsed;
    }

    std::optional<std::string> Value(const std::string& name) const {
        std::optional<std::string> found;
        for (const auto& [key, value] : values) {
            if (key != name) continue;
            if (found) throw UsageError(name + " given twice");
            found = value;
        }
        return found;
    }

    std::string Required(const std::string& name) const {
        auto value = Value(name);
        if (!value || value->empty()) throw UsageError(name + " is required");
        return *value;
    }

    bool Flag(const std::string& name) const {
        return std::find(flags.begin(), flags.end(), name) != flags.end();
    }
};

int ParseInt(const std::string& text, const std::string& option, int low, int high) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw UsageError(option + " must be a whole number from " + std::to_string(low) + " to " +
                         std::to_string(high));
    }
    return value;
}

bool IsLoopback(const std::string& host) {
    return host == "localhost" || host == "::1" || host.starts_with("127.");
}

// "20240506-101112", local time: the suffix of a database kept aside by a restore.
std::string Stamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

int Serve(const std::vector<std::string>& args, std::ostream& out,
          const std::function<bool()>& should_stop) {
    const auto parsed = Arguments::Parse(
        args, {"--db", "--host", "--port", "--period-seconds", "--tls-cert", "--tls-key"},
        {"--simulate"});
    if (!parsed.positional.empty()) throw UsageError("unexpected " + parsed.positional[0]);
    ServiceOptions options;
    options.db_path = parsed.Required("--db");
    options.simulate = parsed.Flag("--simulate");
    if (const auto seconds = parsed.Value("--period-seconds")) {
        if (!options.simulate) throw UsageError("--period-seconds needs --simulate");
        options.period_seconds = ParseInt(*seconds, "--period-seconds", 1, 86400);
    }
    options.tls_cert = parsed.Value("--tls-cert").value_or("");
    options.tls_key = parsed.Value("--tls-key").value_or("");
    if (options.tls_cert.empty() != options.tls_key.empty()) {
        throw UsageError("--tls-cert and --tls-key go together");
    }
    const bool tls = !options.tls_cert.empty();
    const std::string host = parsed.Value("--host").value_or(kDefaultHost);
    // Every request carries a token: beyond this machine it must not travel readable.
    if (!tls && !IsLoopback(host)) {
        throw UsageError("plain HTTP is served on loopback addresses only; serve " + host +
                         " with --tls-cert and --tls-key, or put a TLS reverse proxy in front "
                         "of 127.0.0.1");
    }
    const int port =
        ParseInt(parsed.Value("--port").value_or(std::to_string(kDefaultPort)), "--port", 0, 65535);

    // Declared first, so that it is released after the service has closed the database.
    const DatabaseLock lock(options.db_path, DatabaseLock::Mode::kShared);
    Service service(options);
    const int bound = service.Listen(host, port);
    out << "xuan5-service: listening on " << (tls ? "https" : "http") << "://" << host << ":"
        << bound << std::endl;
    while (!should_stop()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    service.Stop();
    out << "xuan5-service: stopped" << std::endl;
    return 0;
}

int Backup(const std::vector<std::string>& args, std::ostream& out) {
    const auto parsed = Arguments::Parse(args, {"--db", "--to"}, {});
    if (!parsed.positional.empty()) throw UsageError("unexpected " + parsed.positional[0]);
    const std::string db = parsed.Required("--db");
    const std::string to = parsed.Required("--to");
    if (std::filesystem::weakly_canonical(db) == std::filesystem::weakly_canonical(to)) {
        throw UsageError("--to names the database itself");
    }
    const DatabaseSummary copied = BackupDatabase(db, to);
    out << "xuan5-service: backed up " << db << " to " << to << " (" << copied.users << " users, "
        << copied.draws << " draws)" << std::endl;
    return 0;
}

int Restore(const std::vector<std::string>& args, std::ostream& out) {
    const auto parsed = Arguments::Parse(args, {"--db", "--from"}, {});
    if (!parsed.positional.empty()) throw UsageError("unexpected " + parsed.positional[0]);
    const std::string db = parsed.Required("--db");
    const std::string from = parsed.Required("--from");
    if (std::filesystem::weakly_canonical(db) == std::filesystem::weakly_canonical(from)) {
        throw UsageError("--from names the database itself");
    }
    const std::string keep_as = db + ".before-restore-" + Stamp();
    const DatabaseLock lock(db, DatabaseLock::Mode::kExclusive);
    const bool had_data = std::filesystem::file_size(db) > 0;
    const DatabaseSummary restored = RestoreDatabase(from, db, keep_as);
    if (had_data) out << "xuan5-service: the replaced database is kept as " << keep_as << "\n";
    out << "xuan5-service: restored " << from << " into " << db << " (" << restored.users
        << " users, " << restored.draws << " draws)" << std::endl;
    return 0;
}

int AddUser(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto parsed = Arguments::Parse(args, {"--db"}, {});
    if (parsed.positional.size() != 1) throw UsageError("add-user takes one NAME");
    const std::string& name = parsed.positional[0];
    if (name.size() > 64) throw UsageError("NAME is longer than 64 bytes");
    for (unsigned char c : name) {
        if (c < 0x20 || c == 0x7F) throw UsageError("NAME holds a control character");
    }
    Database db(parsed.Required("--db"));
    const std::string token = NewToken();
    if (!db.AddUser(name, Sha256Hex(token))) {
        err << "xuan5-service: a user named " << name << " exists already\n";
        return 1;
    }
    // Alone on stdout so that scripts can capture it; it is shown this one time only.
    out << token << std::endl;
    return 0;
}

int Import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto parsed = Arguments::Parse(args, {"--db", "--region"}, {});
    if (parsed.positional.size() != 1) throw UsageError("import takes one FILE.csv");
    const int region = ParseInt(parsed.Required("--region"), "--region", 1, kRegionCount);
    const std::string& path = parsed.positional[0];
    const std::string db_path = parsed.Required("--db");

    std::error_code ec;
    std::ifstream file;
    if (std::filesystem::is_regular_file(path, ec)) file.open(path, std::ios::binary);
    std::ostringstream text;
    // An empty file leaves `text` failed too; it is reported below as nothing to import.
    if (file.is_open()) text << file.rdbuf();
    if (!file.is_open() || file.bad()) {
        err << "xuan5-service: cannot read " << path << "\n";
        return 1;
    }
    const ParsedCsv csv = ParseDrawCsv(text.str());
    for (const RejectedLine& rejected : csv.rejected) {
        err << path << ": line " << rejected.line << ": " << rejected.reason << "\n";
    }
    if (csv.draws.empty()) {
        err << "xuan5-service: nothing to import from " << path << "\n";
        return 1;
    }
    Database db(db_path);
    db.StoreDraws(region, csv.draws, Database::OnConflict::kReplace);
    out << "imported " << csv.draws.size() << " draws into region " << region << " ("
        << RegionNameOf(region) << "), rejected " << csv.rejected.size() << " lines" << std::endl;
    return 0;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::function<bool()>& should_stop) {
    if (args.empty()) {
        err << "xuan5-service: bad usage: no command\n" << Synopsis();
        return 2;
    }
    // Asked for anywhere, even after a command ("serve --help"), they answer and do nothing else.
    const auto asked = [&](std::initializer_list<std::string_view> names) {
        return std::any_of(args.begin(), args.end(), [&](const std::string& arg) {
            return std::find(names.begin(), names.end(), arg) != names.end();
        });
    };
    if (args[0] == "help" || asked({"--help", "-h"})) {
        out << Help();
        return 0;
    }
    if (asked({"--version", "-V"})) {
        out << "xuan5-service " << XUAN5_VERSION << "\n";
        return 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    // The one place where the commands' exceptions become exit codes: a usage mistake is 2 with
    // the synopsis, anything else (a database, a file, a certificate, a port) is 1. Nothing
    // thrown inside the service leaves it.
    try {
        if (args[0] == "serve") return Serve(rest, out, should_stop);
        if (args[0] == "add-user") return AddUser(rest, out, err);
        if (args[0] == "import") return Import(rest, out, err);
        if (args[0] == "backup") return Backup(rest, out);
        if (args[0] == "restore") return Restore(rest, out);
        throw UsageError("unknown command " + args[0]);
    } catch (const UsageError& e) {
        err << "xuan5-service: " << e.what() << "\n" << Synopsis();
        return 2;
    } catch (const std::exception& e) {
        err << "xuan5-service: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace xuan5::service
