#include "cli.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <thread>

#include "csv_import.h"
#include "database.h"
#include "server.h"
#include "token.h"

namespace xuan5::service {
namespace {

std::string Usage() {
    return "usage:\n"
           "  xuan5-service serve --db FILE [--host " +
           std::string(kDefaultHost) + "] [--port " + std::to_string(kDefaultPort) +
           "] [--simulate]\n"
           "                      [--period-seconds N]\n"
           "  xuan5-service add-user NAME --db FILE\n"
           "  xuan5-service import --db FILE --region R FILE.csv\n"
           "  xuan5-service --help | --version\n"
           "regions: 1 山东, 2 重庆, 3 广东\n";
}

constexpr const char* kRegionNames[] = {"", "山东", "重庆", "广东"};

class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
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

int Serve(const std::vector<std::string>& args, std::ostream& out,
          const std::function<bool()>& should_stop) {
    const auto parsed =
        Arguments::Parse(args, {"--db", "--host", "--port", "--period-seconds"}, {"--simulate"});
    if (!parsed.positional.empty()) throw UsageError("unexpected " + parsed.positional[0]);
    ServiceOptions options;
    options.db_path = parsed.Required("--db");
    options.simulate = parsed.Flag("--simulate");
    if (const auto seconds = parsed.Value("--period-seconds")) {
        if (!options.simulate) throw UsageError("--period-seconds needs --simulate");
        options.period_seconds = ParseInt(*seconds, "--period-seconds", 1, 86400);
    }
    const std::string host = parsed.Value("--host").value_or(kDefaultHost);
    const int port =
        ParseInt(parsed.Value("--port").value_or(std::to_string(kDefaultPort)), "--port", 0, 65535);

    Service service(options);
    const int bound = service.Listen(host, port);
    out << "xuan5-service: listening on http://" << host << ":" << bound << std::endl;
    while (!should_stop()) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    service.Stop();
    out << "xuan5-service: stopped" << std::endl;
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
        << kRegionNames[region] << "), rejected " << csv.rejected.size() << " lines" << std::endl;
    return 0;
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                   const std::function<bool()>& should_stop) {
    if (args.empty()) {
        err << Usage();
        return 2;
    }
    // Asked for anywhere, even after a command ("serve --help"), they answer and do nothing else.
    const auto asked = [&](std::initializer_list<std::string_view> names) {
        return std::any_of(args.begin(), args.end(), [&](const std::string& arg) {
            return std::find(names.begin(), names.end(), arg) != names.end();
        });
    };
    if (args[0] == "help" || asked({"--help", "-h"})) {
        out << Usage();
        return 0;
    }
    if (asked({"--version", "-V"})) {
        out << "xuan5-service " << XUAN5_VERSION << "\n";
        return 0;
    }
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    try {
        if (args[0] == "serve") return Serve(rest, out, should_stop);
        if (args[0] == "add-user") return AddUser(rest, out, err);
        if (args[0] == "import") return Import(rest, out, err);
        throw UsageError("unknown command " + args[0]);
    } catch (const UsageError& e) {
        err << "xuan5-service: " << e.what() << "\n" << Usage();
        return 2;
    } catch (const std::exception& e) {
        err << "xuan5-service: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace xuan5::service
