#include <algorithm>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>
#include "base/language.h"

#include "cli/cli_arguments.h"
#include "cli/cli_commands.h"
#include "cli/cli_json_values.h"
#include "cli/cli_progress.h"
#include "cli/cli_restart_environment.h"
#include "cli/cli_session.h"
#include "cli/exit_status.h"
#include "firmware/device_restart.h"
#include "firmware/firmware_update.h"
#include "protocol/screen_markup.h"
#include "settings/settings_backup.h"

namespace {

FirmwareContext Firmware(CliContext& context, CliSession& session) {
    return {session.Stack().Commands(), context.log, context.host, SystemTicks, {}};
}

// --yes starts the update, but a failed attempt is not retried unasked:
// only the first question gets the answer --yes gives. `beforeLater` runs
// before each later question, the one after a failed attempt.
class FirstQuestionOnly final : public Dialogs {
  public:
    FirstQuestionOnly(Dialogs& dialogs, std::function<void()> beforeLater)
        : dialogs_(dialogs), beforeLater_(std::move(beforeLater)) {}
    void Error(const std::string& text) override { dialogs_.Error(text); }
    void Information(const std::string& text) override { dialogs_.Information(text); }
    void Warning(const std::string& text) override { dialogs_.Warning(text); }
    bool AskYesNo(const std::string& text) override {
        if (!first_ && beforeLater_) {
            beforeLater_();
        }
        const bool answer = dialogs_.AskYesNo(text);
        return std::exchange(first_, false) && answer;
    }
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override {
        return dialogs_.InputQuery(caption, prompt, value);
    }
    bool SaveFileName(const std::string& caption, const std::string& filter,
                      std::string& fileName) override {
        return dialogs_.SaveFileName(caption, filter, fileName);
    }

  private:
    Dialogs& dialogs_;
    std::function<void()> beforeLater_;
    bool first_ = true;
};

int Finished(bool succeeded) {
    if (CliHost::Interrupted()) {
        return kExitInterrupted;
    }
    return succeeded ? kExitOk : kExitFailure;
}

int RunRestart(CliContext& context, bool bootLoader) {
    CliSession session(context);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Identified);
        status != kExitOk) {
        return status;
    }
    if (!context.dialogs.AskYesNo(bootLoader
                                      ? PickText("Перезагрузить прибор в загрузчик?",
                                                 "Restart the device into its boot loader?")
                                      : PickText("Перезагрузить прибор в основную программу?",
                                                 "Restart the device into its main program?"))) {
        return kExitFailure;
    }
    CliRestartEnvironment environment(session, context.host, info);
    const FirmwareContext firmware = Firmware(context, session);
    DeviceRestart restart(firmware, environment.Environment());
    const RestartResult result = bootLoader ? restart.IntoBootLoader() : restart.IntoMainProgram();
    if (result != RestartResult::Done && !CliHost::Interrupted()) {
        context.report.Fail(PickText("Ошибка перезагрузки прибора", "Error restarting Device"));
    }
    if (result == RestartResult::Done) {
        context.report.Result() = {{"restartedInto", bootLoader ? "boot" : "main"},
                                   {"bootMode", info.BootMode()}};
        context.report.Say(bootLoader ? PickText("Прибор перезагружен в загрузчик",
                                                 "The device restarted into its boot loader")
                                      : PickText("Прибор перезагружен в основную программу",
                                                 "The device restarted into its main program"));
    }
    return Finished(result == RestartResult::Done);
}

int RunUpdate(CliContext& context) {
    CliSession session(context);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Identified);
        status != kExitOk) {
        return status;
    }
    CliRestartEnvironment environment(session, context.host, info);
    ProgressScreens screens;
    FirmwareContext firmware = Firmware(context, session);
    // One bar per writer: a step's status text ends the bar of the step before.
    std::optional<CliProgress> bar;
    const bool quiet = context.options.quiet;
    firmware.showProgress = [&bar, quiet](int percent) {
        if (!bar) {
            bar.emplace("%", quiet);
        }
        bar->Update(percent, 100);
    };
    // The errors logged from here on tell why an attempt failed.
    const std::size_t firstLine = context.log.LineCount();
    const bool showReasons = !quiet && !context.options.verbose;
    FirstQuestionOnly dialogs(context.dialogs, [&context, &bar, firstLine, showReasons] {
        bar.reset();
        if (!showReasons) {
            return;
        }
        for (const std::string& error : context.log.ErrorsSince(firstLine)) {
            std::cerr << error << '\n';
        }
    });
    FirmwareUpdate update(
        firmware, environment.Environment(), screens, dialogs,
        [&bar, quiet](const std::string& text, StatusStyle) {
            bar.reset();
            if (!quiet) {
                std::cerr << text << '\n';
            }
        },
        [&info] { return info.valid; });
    update.KeepSettingsWith([&context, &session] {
        const std::string path =
            BackUpDeviceSettings(session.Stack().Commands(), context.host, context.dialogs,
                                 context.log, SettingsBackupFolder());
        if (!path.empty()) {
            context.report.Result()["settingsFile"] = path;
            context.report.Say(
                PickText("Настройки прибора сохранены в ", "Device settings saved to ") + path);
        }
        return path;
    });
    // The flash writers stop between requests, never inside a chunk's exchange.
    context.host.LeaveFirstSignalToCancel([&update] { update.Cancel(); });
    const FirmwareUpdate::Outcome outcome = update.Run();
    bar.reset();
    if (outcome == FirmwareUpdate::Outcome::Stopped) {
        context.report.Fail(FirmwareUpdate::StoppedText(update.FailedStep()));
    }
    if (outcome == FirmwareUpdate::Outcome::Succeeded) {
        context.report.Result()["mainVersion"] = VersionJson(info.mainVersion);
        context.report.Say(PickText("Прошивка обновлена: ", "Firmware updated: ") +
                           VersionText(info.mainVersion));
    }
    return Finished(outcome == FirmwareUpdate::Outcome::Succeeded);
}

}  // namespace

void AddFirmwareCommands(CLI::App& app, CliAction& action) {
    auto* restart = app.add_subcommand(
        "restart", PickText("перезагрузить прибор в загрузчик или в основную программу "
                            "(спрашивает, или --yes)",
                            "restart the device into its boot loader or its main program "
                            "(asks, or --yes)"));
    auto target = std::make_shared<std::string>();
    restart->add_option("TARGET", *target, PickText("boot или main", "boot or main"))
        ->required()
        ->check(OneOf({"boot", "main"}));
    restart->callback([&action, target] {
        action = [boot = *target == "boot"](CliContext& context) {
            return RunRestart(context, boot);
        };
    });
    auto* firmware =
        app.add_subcommand("firmware", PickText("прошивка прибора", "the device's firmware"));
    firmware->require_subcommand(1);
    firmware
        ->add_subcommand("update", PickText("обновление в пять шагов встроенными образами; "
                                            "сначала спрашивает (или --yes)",
                                            "the five-step update with the carried images; asks "
                                            "first (or --yes)"))
        ->callback([&action] { action = RunUpdate; });
}
