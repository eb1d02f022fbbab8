#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>

#include "integration/cli/cli_runner.h"
#include "integration/upload/ftp_test_server.h"

namespace {

using CliOnEachProfile = OnEachProfile<CliAgainstSimulator>;

TEST_P(CliOnEachProfile, InfoNamesBothModelsAndBootMode) {
    struct Case {
        SimModel model;
        bool boot;
        const char* modelPrefix;
    };
    for (const Case& c : {Case{SimModel::K310, false, "Halvane RDK-310"},
                          Case{SimModel::K520, false, "DRAVO 07X ECO RDK-520"},
                          Case{SimModel::K310, true, "Halvane RDK-310"}}) {
        SimOptions options;
        options.model = c.model;
        options.serialNumber = 12345678;
        options.startInBootMode = c.boot;
        PlugIn(options);
        const CliOutcome outcome = RunCli(dir_.Path(), {"--port", "COM9", "--json", "info"});
        ASSERT_EQ(outcome.status, 0) << outcome.err;
        const auto info = nlohmann::json::parse(outcome.out);
        EXPECT_EQ(info["port"], "COM9");
        EXPECT_EQ(info["model"].get<std::string>().rfind(c.modelPrefix, 0), 0u) << info.dump();
        EXPECT_EQ(info["serial"], "123-45678");
        EXPECT_EQ(info["bootMode"], c.boot);
        EXPECT_EQ(info["mainVersion"].is_null(), c.boot) << info.dump();
        EXPECT_EQ(info["bootVersion"]["text"], "4.0") << info.dump();
        device_.reset();
    }
}

TEST_P(CliOnEachProfile, MeasureJsonCarriesTheLiveValuesTheDeviceHolds) {
    SimOptions options;
    options.model = SimModel::K520;
    PlugIn(options);
    // No --port: the one answering port is found.
    const CliOutcome outcome = RunCli(dir_.Path(), {"--json", "--lang", "en", "measure"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const auto values = nlohmann::json::parse(outcome.out);
    const int units = values["unitsCode"];
    const std::uint32_t expected =
        device_->WithModel([units](DeviceModel& model) { return model.Live().RateWord(units); });
    EXPECT_EQ(values["rateRaw"].get<std::uint32_t>(), expected);
    // Hundredths of uSv/h, whatever --lang says.
    ASSERT_EQ(units, 0);
    EXPECT_DOUBLE_EQ(values["doseRate"].get<double>(), expected / 100.0);
    EXPECT_EQ(values["doseRateUnit"], "uSv/h");
    std::string doseText =
        device_->WithModel([](DeviceModel& model) { return model.Live().DoseText(); });
    std::replace(doseText.begin(), doseText.end(), ',', '.');
    EXPECT_DOUBLE_EQ(values["dose"].get<double>(), std::stod(doseText)) << values.dump();
    EXPECT_EQ(values["doseUnit"], "uSv");

    // Russian units throughout the line.
    const CliOutcome line = RunCli(dir_.Path(), {"--lang", "ru", "measure"});
    ASSERT_EQ(line.status, 0) << line.err;
    EXPECT_NE(line.out.find(" мкЗв/ч\t"), std::string::npos) << line.out;
    EXPECT_NE(line.out.find(" мкЗв\n"), std::string::npos) << line.out;
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, CliOnEachProfile, ::testing::ValuesIn(SimProfileNames()),
                         ProfileTestName);

TEST_F(CliAgainstSimulator, NoDeviceANonDeviceAndBadUsageHaveTheirExitStatusAndHints) {
    CliOutcome outcome = RunCli(dir_.Path(), {"info"});
    EXPECT_EQ(outcome.status, 3);
    EXPECT_NE(outcome.err.find("No device found"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("dravo-cli ports"), std::string::npos) << outcome.err;
    outcome = RunCli(dir_.Path(), {"ports"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.err.find("No serial ports found"), std::string::npos) << outcome.err;

    // A plain file behind a port name is no device.
    const std::string file = dir_.Path() + "/not-a-port";
    std::ofstream(file) << "text";
    outcome = RunCli(dir_.Path(), {"--port", file, "info"});
    EXPECT_EQ(outcome.status, 3) << outcome.err;
    outcome = RunCli(dir_.Path(), {"--port", "COM13", "info"});
    EXPECT_EQ(outcome.status, 3) << outcome.err;
    EXPECT_NE(outcome.err.find("No device answers on port COM13\n"), std::string::npos);
    EXPECT_NE(outcome.err.find("dravo-cli ports"), std::string::npos) << outcome.err;

    outcome = RunCli(dir_.Path(), {"--bogus", "info"});
    EXPECT_EQ(outcome.status, 2);
    outcome = RunCli(dir_.Path(), {"--port", "COMX", "info"});
    EXPECT_EQ(outcome.status, 2);
    outcome = RunCli(dir_.Path(), {"--version"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_EQ(outcome.out, "dravo-cli 1.1\n");

    // A misspelt command gets the commands of its level.
    outcome = RunCli(dir_.Path(), {"mesure"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("Unknown command \"mesure\""), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("ports, info, measure, history"), std::string::npos);
    outcome = RunCli(dir_.Path(), {"settings", "sett"});
    EXPECT_NE(outcome.err.find("Commands: get, set, default, backup, restore"), std::string::npos)
        << outcome.err;
    // The limit of --watch is a count of seconds, not a number of 300 digits.
    outcome = RunCli(dir_.Path(), {"measure", "--watch", "-1"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("--watch"), std::string::npos) << outcome.err;
    EXPECT_LT(outcome.err.size(), 200u) << outcome.err;

    // Russian all through: the help and the parser's refusals.
    outcome = RunCli(dir_.Path(), {"--lang", "ru", "settings", "set", "--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("Параметры:"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("--no-restart"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.out.find("прибор перезагружается"), std::string::npos) << outcome.out;
    EXPECT_EQ(outcome.out.find("Options"), std::string::npos) << outcome.out;
    outcome = RunCli(dir_.Path(), {"--bogus", "--lang", "ru", "info"});
    EXPECT_NE(outcome.err.find("Лишние аргументы: --bogus"), std::string::npos) << outcome.err;
}

// Each message says what to do next, and nothing is read from a device before
// a refusal that needs none.
TEST_F(CliAgainstSimulator, MessagesNameTheNextStep) {
    SimOptions options;
    options.model = SimModel::K310;
    SimulatedDevice& device = PlugIn(options);
    device.ClearTranscript();
    CliOutcome outcome = RunCli(dir_.Path(), {"history", "read", "--csv", "nodir/x.csv"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("nodir"), std::string::npos) << outcome.err;
    EXPECT_TRUE(device.Requests().empty());

    outcome = RunCli(dir_.Path(), {"--yes", "settings", "set", "sound=on"});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("Codes: 0 (off), 1 (on)"), std::string::npos) << outcome.err;

    // A declined question says so, in either language.
    outcome = RunCli(dir_.Path(), {"settings", "set", "sound=0"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("Cancelled\n"), std::string::npos) << outcome.err;
    outcome = RunCli(dir_.Path(), {"--lang", "ru", "history", "delete"});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("Отменено\n"), std::string::npos) << outcome.err;

    // In boot mode the gate's own text, then the commands that help.
    device_.reset();
    options.startInBootMode = true;
    PlugIn(options);
    outcome = RunCli(dir_.Path(), {"--lang", "en", "measure"});
    EXPECT_EQ(outcome.status, 1);
    const std::size_t gate = outcome.err.find("Please goto Page \"About Device\"\n");
    ASSERT_NE(gate, std::string::npos) << outcome.err;
    EXPECT_GT(outcome.err.find("dravo-cli firmware update, or dravo-cli restart main"), gate)
        << outcome.err;
}

// Under --json every command prints one object: its result, or beside it the
// error that ended it, with the message in the chosen language.
TEST_F(CliAgainstSimulator, EveryCommandPrintsOneJsonObject) {
    SimOptions options;
    options.model = SimModel::K520;
    options.serialNumber = 12345678;
    options.history = {.shape = HistoryShape::Partial, .records = 30, .recordWhileRunning = false};
    PlugIn(options);
    const std::string backup = dir_.Path() + "/settings.json";
    const std::vector<std::vector<std::string>> succeeding{
        {"ports"},
        {"info"},
        {"measure"},
        {"doctor"},
        {"history", "read"},
        {"history", "read", "--chart", "hour"},
        {"archive", "list"},
        {"archive", "csv", "--serial", "123-45678"},
        {"archive", "chart", "day", "--serial", "123-45678"},
        {"archive", "live", "--serial", "123-45678"},
        {"settings", "get"},
        {"--yes", "settings", "set", "sound=0", "--no-restart"},
        {"--yes", "settings", "default", "--no-restart"},
        {"settings", "backup", backup},
        {"--yes", "settings", "restore", backup, "--no-restart"},
        {"clock", "get"},
        {"--yes", "clock", "set"},
        {"calibration", "get"},
        {"--yes", "calibration", "set", "1,25"},
        {"--yes", "restart", "main"},
    };
    const std::vector<std::vector<std::string>> failing{
        {"mesure"},
        {"measure", "--watch", "-1"},
        {"--port", "COM13", "info"},
        {"history", "read", "--csv", "nodir/x.csv"},
        {"archive", "csv", "--serial", "999-99999"},
        {"archive", "prune", "--live", "--serial", "999-99999", "--before", "2026-01-01"},
        {"--yes", "settings", "set", "sound=on"},
        {"settings", "set", "sound=1"},
        {"calibration", "set", "99999999999"},
        {"upload-log", dir_.Path() + "/absent.log", "--serial", "123-45678"},
        {"restart", "boot"},
    };
    // Keys are camelCase, but for the settings' own names, which `settings set` takes.
    const std::function<void(const nlohmann::json&, const std::string&)> camelCase =
        [&camelCase](const nlohmann::json& value, const std::string& where) {
            if (!value.is_structured()) {
                return;
            }
            for (const auto& [key, item] : value.items()) {
                if (value.is_object()) {
                    EXPECT_TRUE(std::islower(static_cast<unsigned char>(key[0])) &&
                                key.find('_') == std::string::npos)
                        << key << " in " << where;
                    if (key == "settings" || key == "texts") {
                        continue;
                    }
                }
                camelCase(item, where);
            }
        };
    const auto run = [&](std::vector<std::string> arguments, const char* lang) {
        arguments.insert(arguments.begin(), {"--json", "--lang", lang});
        const CliOutcome outcome = RunCli(dir_.Path(), arguments);
        std::string shown;
        for (const std::string& argument : arguments) {
            shown += argument + " ";
        }
        nlohmann::json result;
        EXPECT_NO_THROW(result = nlohmann::json::parse(outcome.out)) << shown << outcome.out;
        EXPECT_TRUE(result.is_object()) << shown;
        camelCase(result, shown);
        EXPECT_EQ(result.contains("error"), outcome.status != 0) << shown << outcome.err;
        if (result.contains("error")) {
            EXPECT_EQ(result["error"]["exitStatus"], outcome.status) << shown;
            EXPECT_FALSE(result["error"]["message"].get<std::string>().empty()) << shown;
        }
        return result;
    };
    for (const auto& arguments : succeeding) {
        EXPECT_FALSE(run(arguments, "en").contains("error")) << arguments.back();
    }
    for (const auto& arguments : failing) {
        EXPECT_TRUE(run(arguments, "en").contains("error")) << arguments.back();
    }
    // The keys stay, the messages follow the language.
    EXPECT_EQ(run({"settings", "get"}, "ru")["texts"]["sound"], "вкл");
    EXPECT_EQ(run({"restart", "boot"}, "ru")["error"]["message"], "Отменено");
    EXPECT_EQ(run({"restart", "boot"}, "en")["error"]["message"], "Cancelled");

    // What changed, as numbers.
    const nlohmann::json set = run({"--yes", "settings", "set", "sound=0", "--no-restart"}, "en");
    EXPECT_EQ(set["changed"], nlohmann::json::parse(R"([{"key":"sound","from":1,"to":0}])"));
    EXPECT_EQ(set["restarted"], false);
    EXPECT_EQ(run({"calibration", "get"}, "ru")["calibration"], 1.25);
    const nlohmann::json read = run({"history", "read", "--no-archive"}, "en");
    ASSERT_EQ(read["records"].size(), 30u);
    EXPECT_EQ(read["recordCount"], 30);
    EXPECT_TRUE(read["records"][0]["doseRate"].is_number());
    // ISO 8601 with the offset.
    EXPECT_EQ(read["readTime"].get<std::string>().size(), 25u) << read["readTime"];
    EXPECT_EQ(run({"--yes", "history", "delete"}, "en")["historyDeleted"], true);
}

class CliUpload : public CliAgainstSimulator {
  protected:
    // An options file naming the server, found through XDG_CONFIG_HOME.
    std::vector<std::string> ConfiguredFor(const FtpTestServer& server) {
        std::filesystem::create_directories(config_.Path() + "/DRAVO");
        std::ofstream(config_.Path() + "/DRAVO/TLX4.conf")
            << "[UPLOAD]\nHost=127.0.0.1\nPort=" << server.Port()
            << "\nUser=" << server.Account().user << "\nPassword=" << server.Account().password
            << "\nTimeoutSeconds=20\n";
        return {"XDG_CONFIG_HOME=" + config_.Path()};
    }

    std::string LogFile(const std::string& text) {
        const std::string path = dir_.Path() + "/session.log";
        std::ofstream(path) << text;
        return path;
    }

    TempDir config_;
};

TEST_F(CliUpload, AppendsUnderTheGivenOrConnectedSerialNumber) {
    FtpTestServer server({});
    ASSERT_TRUE(server.Running()) << server.Error();
    const auto environment = ConfiguredFor(server);

    CliOutcome outcome = RunCli(
        dir_.Path(), {"upload-log", LogFile("first\n"), "--serial", "123-45678"}, environment);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    outcome = RunCli(dir_.Path(), {"upload-log", LogFile("second\n"), "--serial", "12345678"},
                     environment);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(FileText(server.Home() + "/log5/1_23/45xxx/6xx/rep.txt"), "first\nsecond\n");

    SimOptions options;
    options.serialNumber = 87654321;
    PlugIn(options);
    outcome =
        RunCli(dir_.Path(), {"--json", "upload-log", LogFile("from the device\n")}, environment);
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_EQ(nlohmann::json::parse(outcome.out)["serialDigits"], "87654321") << outcome.out;
    EXPECT_EQ(FileText(server.Home() + "/log5/8_76/54xxx/3xx/rep.txt"), "from the device\n");
}

TEST_F(CliUpload, NoServerBadSerialAndAMissingFileFail) {
    const std::vector<std::string> unconfigured{"XDG_CONFIG_HOME=" + config_.Path()};
    CliOutcome outcome = RunCli(
        dir_.Path(), {"upload-log", LogFile("text\n"), "--serial", "123-45678"}, unconfigured);
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("No report server is configured"), std::string::npos) << outcome.err;
    EXPECT_NE(outcome.err.find("Host, Port, User and Password"), std::string::npos) << outcome.err;

    outcome =
        RunCli(dir_.Path(), {"upload-log", LogFile("text\n"), "--serial", "12-3"}, unconfigured);
    EXPECT_EQ(outcome.status, 2) << outcome.err;

    FtpTestServer server({});
    ASSERT_TRUE(server.Running()) << server.Error();
    outcome =
        RunCli(dir_.Path(), {"upload-log", dir_.Path() + "/absent.log", "--serial", "123-45678"},
               ConfiguredFor(server));
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.err.find("File not found: " + dir_.Path() + "/absent.log"), std::string::npos)
        << outcome.err;
    EXPECT_FALSE(std::filesystem::exists(server.Home() + "/log5"));
}

}  // namespace

TEST_F(CliAgainstSimulator, DoctorSucceedsOnlyWhenSomePortOpens) {
    CliOutcome outcome = RunCli(dir_.Path(), {"doctor"});
    EXPECT_EQ(outcome.status, 1) << outcome.out;

    PlugIn(SimOptions{});
    outcome = RunCli(dir_.Path(), {"doctor"});
    EXPECT_EQ(outcome.status, 0) << outcome.out << outcome.err;
    EXPECT_NE(outcome.out.find("COM9"), std::string::npos) << outcome.out;

    outcome = RunCli(dir_.Path(), {"--json", "doctor"});
    ASSERT_EQ(outcome.status, 0) << outcome.err;
    const auto report = nlohmann::json::parse(outcome.out);
    ASSERT_EQ(report["ports"].size(), 1u) << outcome.out;
    EXPECT_EQ(report["ports"][0]["port"], "COM9");
    EXPECT_EQ(report["ports"][0]["path"], device_->PortPath());
    EXPECT_TRUE(report["ports"][0]["opens"].get<bool>());
}
