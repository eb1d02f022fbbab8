#include "cli/cli_measure_watch.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

#include "base/language.h"
#include "cli/cli_archive.h"
#include "cli/cli_arguments.h"
#include "cli/cli_live_json.h"
#include "cli/cli_session.h"
#include "cli/exit_status.h"
#include "history/archive_key.h"
#include "history/live_recorder.h"
#include "history/live_time_text.h"
#include "history/rate_alarm.h"
#include "measure/measure_commands_device.h"
#include "measure/measure_texts.h"
#include "measure/measurement.h"
#include "protocol/gate_inputs.h"
#include "protocol/operation_gate.h"

namespace {

using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

std::int64_t NowUtcMs() {
    return std::chrono::duration_cast<milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// A JSON line, or the local time, the rate as the device shows it and the level.
void Print(const LiveReading& reading, bool json) {
    if (json) {
        std::cout << LiveReadingJson(reading).dump() << std::endl;
        return;
    }
    const auto units = static_cast<std::uint8_t>(reading.units);
    std::cout << LocalIsoTimeText(reading.timeMs) << '\t' << RateNumberText(units, reading.rateWord)
              << ' ' << RateUnitText(units) << '\t' << reading.level << std::endl;
}

// The device's connection for the watch, opened again after an unplug.
class WatchedDevice {
  public:
    WatchedDevice(CliContext& context) : context_(context), session_(context) {}

    int Open() { return Started(session_.Open(context_.options.port, info_, DeviceGate::Pages)); }

    // Waits until the device answers again; false on a stop signal.
    bool Reopen() {
        while (!CliHost::Interrupted()) {
            if (session_.Reconnect(info_) || (context_.options.port.empty() && Scan())) {
                Started(kExitOk);
                return true;
            }
            context_.host.Stop().SleepFor(milliseconds(1000));
        }
        return false;
    }

    Measurement& Reading() { return *measurement_; }
    const ArchiveDeviceKey& Key() const { return key_; }

  private:
    // Another port's one answering device, as a start without --port finds it.
    bool Scan() {
        int answering = 0;
        for (const PortProbe& probe : session_.ProbePorts()) {
            answering += probe.answers ? 1 : 0;
        }
        return answering == 1 && session_.Connect({}) == kExitOk && session_.Identify(info_);
    }

    int Started(int status) {
        if (status != kExitOk) {
            return status;
        }
        DeviceCommands& commands = session_.Stack().Commands();
        gate_ = std::make_unique<OperationGate>(
            [this, &commands] { return GateInputs::From(true, info_.valid, commands); },
            context_.dialogs, context_.log);
        device_ = std::make_unique<CommandsMeasureDevice>(commands, &context_.log);
        measurement_ = std::make_unique<Measurement>(
            *device_, [this](std::string& notice) { return gate_->CheckPage(notice); },
            context_.dialogs, SystemTicks);
        key_ = ArchiveKeyOf(info_);
        return kExitOk;
    }

    CliContext& context_;
    CliSession session_;
    DeviceInfo info_;
    std::unique_ptr<OperationGate> gate_;
    std::unique_ptr<CommandsMeasureDevice> device_;
    std::unique_ptr<Measurement> measurement_;
    ArchiveDeviceKey key_;
};

void Tell(const CliReport& report, const std::string& message) {
    if (!message.empty()) {
        report.Say(message);
    }
}

// With the decimal comma of the program's value texts.
std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    std::string number = text;
    std::replace(number.begin(), number.end(), '.', ',');
    return number;
}

}  // namespace

void AddWatchOptions(CLI::App& measure, WatchArguments& arguments) {
    measure
        .add_option_function<std::vector<int>>(
            "--watch",
            [&arguments](const std::vector<int>& seconds) {
                arguments.watch = true;
                if (!seconds.empty()) {
                    arguments.forSeconds = seconds.front();
                }
            },
            PickText("читать снова и снова, строка на показание (СЕКУНДЫ: как --for)",
                     "read again and again, one line per reading (SECONDS: as --for)"))
        ->expected(0, 1)
        ->check(SecondsCount());
    measure
        .add_option("--interval", arguments.interval,
                    PickText("секунд между показаниями (1)", "seconds between readings (1)"))
        ->check(SecondsCount(1));
    measure
        .add_option("--for", arguments.forSeconds,
                    PickText("закончить через СЕКУНДЫ", "end the watch after SECONDS"))
        ->check(SecondsCount());
    measure.add_flag(
        "--no-archive", arguments.noArchive,
        PickText("не сохранять показания в архив", "do not record the readings into the archive"));
    measure
        .add_option("--alarm-above", arguments.alarmAbove,
                    PickText("сообщать о каждом подъёме мощности дозы до ЧИСЛА мкЗв/ч и выше; "
                             "код выхода 4",
                             "tell each rise of the dose rate to NUMBER uSv/h or above; exit "
                             "status 4"))
        ->check(DecimalNumber(0, 100000));
}

int RunMeasureWatch(CliContext& context, const WatchArguments& arguments) {
    std::unique_ptr<HistoryArchive> archive;
    if (!arguments.noArchive && !(archive = OpenCliArchive(context))) {
        return kExitFailure;
    }
    std::unique_ptr<LiveArchive> live = archive ? std::make_unique<LiveArchive>(*archive) : nullptr;
    std::unique_ptr<LiveRecorder> recorder = live ? std::make_unique<LiveRecorder>(*live) : nullptr;
    WatchedDevice device(context);
    if (const int status = device.Open(); status != kExitOk) {
        return status;
    }
    RateAlarm alarm;
    alarm.SetThreshold(arguments.alarmAbove);
    bool alarmed = false;
    const Clock::time_point started = Clock::now();
    const auto finished = [&] {
        return CliHost::Interrupted() ||
               (arguments.forSeconds > 0 &&
                Clock::now() - started >= std::chrono::seconds(arguments.forSeconds));
    };
    if (context.options.json) {
        context.report.Streamed();
    }
    while (!finished()) {
        const Clock::time_point due = Clock::now() + std::chrono::seconds(arguments.interval);
        Measurement& measurement = device.Reading();
        if (measurement.ReadMeasurement(false)) {
            const MeasurePageState& state = measurement.State();
            const LiveReading reading =
                LiveReading::Of(NowUtcMs(), state.unitsCode, state.rateRaw, state.fonLevel);
            Print(reading, context.options.json);
            if (alarm.Crossed(reading)) {
                alarmed = true;
                context.report.Say(PickText("Мощность дозы ", "Dose rate ") +
                                   Number(*reading.usvPerHour) +
                                   PickText(" мкЗв/ч: не ниже порога ", " uSv/h: at or above ") +
                                   Number(*arguments.alarmAbove));
            }
            if (recorder) {
                Tell(context.report, recorder->Add(device.Key(), reading));
            }
        } else if (!CliHost::Interrupted()) {
            context.report.Say(PickText("Прибор не отвечает; ожидание его подключения",
                                        "The device does not answer; waiting for it to come back"));
            if (recorder) {
                Tell(context.report, recorder->Flush());
            }
            if (device.Reopen()) {
                context.report.Say(PickText("Прибор снова на связи", "The device is back"));
            }
            continue;
        }
        context.host.Stop().SleepFor(std::chrono::duration_cast<milliseconds>(
            std::max(due - Clock::now(), Clock::duration{})));
    }
    if (recorder) {
        Tell(context.report, recorder->Flush());
    }
    return alarmed ? kExitAlarm : kExitOk;
}
