#include "cli/cli_settings_session.h"

#include <iostream>

#include "base/language.h"
#include "cli/cli_restart_environment.h"
#include "cli/exit_status.h"
#include "firmware/device_restart.h"
#include "protocol/gate_inputs.h"
#include "settings/settings_register.h"

int WithSettings(CliContext& context,
                 const std::function<int(CliSettingsSession& settings)>& command) {
    CliSession session(context.log, context.host, context.dialogs);
    DeviceInfo info;
    if (const int status = session.Open(context.options.port, info, DeviceGate::Settings);
        status != kExitOk) {
        return status;
    }
    const auto model = ModelOfBoard(info.board.boardCode);
    if (!model) {
        std::cerr << PickText("У этого прибора нет настроек: ",
                              "This device has no settings to edit: ")
                  << info.modelName << '\n';
        return kExitFailure;
    }
    DeviceCommands& commands = session.Stack().Commands();
    OperationGate gate([&] { return GateInputs::From(true, info.valid, commands); },
                       context.dialogs, context.log);
    // The restart after a save is the one the information page runs.
    CliRestartEnvironment restartEnvironment(session, context.host, info);
    auto restart = [&] {
        const FirmwareContext firmware{commands, context.log, context.host, SystemTicks, {}};
        return RestartIntoMainProgram(firmware, restartEnvironment.Environment());
    };
    SettingsActions actions(
        DescriptionOf(*model),
        SettingsEnvironment{
            commands, context.host, context.dialogs, context.log,
            [&gate](const std::string& caption) { return gate.CheckSettingsAccess(caption); },
            restart, PcLocalTime});
    CliSettingsSession settings{session, info, actions};
    return command(settings);
}

CLI::App* AddSettingsVerb(CLI::App& parent, const char* name, const char* help, CliAction& action,
                          SettingsCommand command) {
    auto* verb = parent.add_subcommand(name, help);
    verb->callback([&action, command] {
        action = [command](CliContext& context) {
            return WithSettings(
                context, [&](CliSettingsSession& settings) { return command(context, settings); });
        };
    });
    return verb;
}
