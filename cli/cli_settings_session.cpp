#include "cli/cli_settings_session.h"

#include "base/language.h"
#include "cli/cli_restart_environment.h"
#include "cli/exit_status.h"
#include "firmware/device_restart.h"
#include "protocol/gate_inputs.h"
#include "settings/settings_register.h"

int WithSettings(CliContext& context,
                 const std::function<int(CliSettingsSession& settings)>& command,
                 bool restartAfterSave) {
    CliSession session(context);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Settings);
        status != kExitOk) {
        return status;
    }
    const auto model = ModelOfBoard(info.board.boardCode);
    if (!model) {
        context.report.Fail(
            PickText("У этого прибора нет настроек: ", "This device has no settings to edit: ") +
            info.modelName);
        return kExitFailure;
    }
    DeviceCommands& commands = session.Stack().Commands();
    OperationGate gate([&] { return GateInputs::From(true, info.valid, commands); },
                       context.dialogs, context.log);
    // The restart after a save is the one the information page runs.
    CliRestartEnvironment restartEnvironment(session, context.host, info);
    bool restarted = false;
    std::function<bool()> restart;
    if (restartAfterSave) {
        restart = [&] {
            const FirmwareContext firmware{commands, context.log, context.host, SystemTicks, {}};
            restarted = RestartIntoMainProgram(firmware, restartEnvironment.Environment());
            return restarted;
        };
    }
    SettingsActions actions(
        DescriptionOf(*model),
        SettingsEnvironment{
            commands, context.host, context.dialogs, context.log,
            [&gate](const std::string& caption) { return gate.CheckSettingsAccess(caption); },
            restart, PcLocalTime});
    CliSettingsSession settings{session, info, actions, restarted};
    return command(settings);
}

CLI::App* AddSettingsVerb(CLI::App& parent, const char* name, const std::string& help,
                          CliAction& action, SettingsCommand command, bool restarts) {
    auto* verb = parent.add_subcommand(name, help);
    auto noRestart = std::make_shared<bool>(false);
    if (restarts) {
        verb->add_flag("--no-restart", *noRestart,
                       PickText("не перезагружать прибор после записи",
                                "do not restart the device after writing"));
    }
    verb->callback([&action, command, noRestart] {
        action = [command, noRestart](CliContext& context) {
            return WithSettings(
                context, [&](CliSettingsSession& settings) { return command(context, settings); },
                !*noRestart);
        };
    });
    return verb;
}
