#include "cli/cli_measure_watch.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <iostream>
#include <memory>

#include "base/language.h"
#include "cli/cli_archive.h"
#include "cli/cli_live_json.h"
#include "cli/cli_session.h"
#include "cli/exit_status.h"
#include "history/archive_key.h"
#include "history/live_recorder.h"
#include "history/live_time_text.h"
#include "history/rate_alarm.h"
#include "measure/measurement.h"
#include "measure/measurement_commands_device.h"
#include "measure/measurement_text.h"
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

milliseconds Millis(double seconds) {
    return milliseconds(static_cast<std::int64_t>(seconds * 1000.0));
}

void Print(const LiveReading& reading, bool json) {
    if (json) {
        std::cout << LiveReadingJsonLine(reading) << std::endl;
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

void Tell(const std::string& message) {
    if (!message.empty()) {
        std::cerr << message << std::endl;
    }
}

}  // namespace

void AddWatchOptions(CLI::App& measure, WatchArguments& arguments) {
    measure
        .add_option_function<std::vector<double>>(
            "--watch",
            [&arguments](const std::vector<double>& seconds) {
                arguments.watch = true;
                if (!seconds.empty()) {
                    arguments.forSeconds = seconds.front();
                }
            },
            "read again and again, one line per reading (SECONDS: as --for)")
        ->expected(0, 1)
        ->check(CLI::NonNegativeNumber);
    measure.add_option("--interval", arguments.interval, "seconds between readings (1)")
        ->check(CLI::Range(0.1, 86400.0));
    measure.add_option("--for", arguments.forSeconds, "end the watch after SECONDS")
        ->check(CLI::NonNegativeNumber);
    measure.add_flag("--no-archive", arguments.noArchive,
                     "do not record the readings into the archive");
    measure
        .add_option("--alarm-above", arguments.alarmAbove,
                    "tell each rise of the dose rate to RATE uSv/h or above; exit status 4")
        ->check(CLI::NonNegativeNumber);
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
               (arguments.forSeconds > 0 && Clock::now() - started >= Millis(arguments.forSeconds));
    };
    while (!finished()) {
        const Clock::time_point due = Clock::now() + Millis(arguments.interval);
        Measurement& measurement = device.Reading();
        if (measurement.ReadMeasurement(false)) {
            const MeasurePageState& state = measurement.State();
            const LiveReading reading =
                LiveReading::Of(NowUtcMs(), state.unitsCode, state.rateRaw, state.fonLevel);
            Print(reading, context.options.json);
            if (alarm.Crossed(reading)) {
                alarmed = true;
                std::cerr << PickText("Мощность дозы ", "Dose rate ") << *reading.usvPerHour
                          << PickText(" мкЗв/ч: не ниже порога ", " uSv/h: at or above ")
                          << *arguments.alarmAbove << std::endl;
            }
            if (recorder) {
                Tell(recorder->Add(device.Key(), reading));
            }
        } else if (!CliHost::Interrupted()) {
            std::cerr << PickText("Прибор не отвечает; ожидание его подключения",
                                  "The device does not answer; waiting for it to come back")
                      << std::endl;
            if (recorder) {
                Tell(recorder->Flush());
            }
            if (device.Reopen()) {
                std::cerr << PickText("Прибор снова на связи", "The device is back") << std::endl;
            }
            continue;
        }
        context.host.Stop().SleepFor(std::chrono::duration_cast<milliseconds>(
            std::max(due - Clock::now(), Clock::duration{})));
    }
    if (recorder) {
        Tell(recorder->Flush());
    }
    return alarmed ? kExitAlarm : kExitOk;
}
