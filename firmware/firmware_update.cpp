#include "firmware/firmware_update.h"

#include "base/language.h"
#include "firmware/cpu_flash_writer.h"
#include "firmware/cpu_image_plan.h"
#include "firmware/device_info_text.h"
#include "firmware/external_flash_writer.h"
#include "firmware/firmware_images.h"

FirmwareUpdate::FirmwareUpdate(FirmwareContext context, RestartEnvironment environment,
                               ProgressScreens& screens, Dialogs& dialogs, StatusSink status,
                               std::function<bool()> ready)
    : context_(std::move(context)),
      environment_(std::move(environment)),
      screens_(screens),
      dialogs_(dialogs),
      status_(std::move(status)),
      ready_(std::move(ready)) {
    context_.cancel = &cancel_;
}

std::string FirmwareUpdate::StoppedText(int step) {
    return PickText("Обновление остановлено на шаге ", "Update stopped at step ") +
           std::to_string(step) +
           PickText(" из 5; его нужно запустить снова", " of 5; it must be run again");
}

std::string FirmwareUpdate::StepText(int step) {
    switch (step) {
        case 1:
            return PickText("Шаг 1 из 5: Запуск BOOT", "Step 1 of 5: Start BOOT");
        case 2:
            return PickText("Шаг 2 из 5: Запись прошивки программы",
                            "Step 2 of 5: Writing Firmware Programm");
        case 3:
            return PickText("Шаг 3 из 5: Запуск обновленной программы",
                            "Step 3 of 5: Starting updated Programm");
        case 4:
            return PickText("Шаг 4 из 5: Запись прошивки данных",
                            "Step 4 of 5: Writing Firmware Data");
        default:
            return PickText("Шаг 5 из 5: Перезапуск прибора", "Step 5 of 5: Reset Device");
    }
}

FirmwareUpdate::Outcome FirmwareUpdate::Run() {
    const auto& cachedBoard = context_.commands.CachedBoardInfo();
    board_ = cachedBoard ? cachedBoard->boardCode : 0;
    const auto question = UpdateConfirmationText(board_);
    if (!question || !ready_() || !dialogs_.AskYesNo(*question)) {
        return Outcome::NotStarted;
    }
    OperationGuard pages(context_.host, {.linkCheck = false, .pages = true, .busy = false});
    for (bool retry = false;; retry = true) {
        bool succeeded = false;
        {
            OperationGuard attempt(context_.host,
                                   {.linkCheck = true, .pages = false, .busy = true});
            succeeded = Attempt(retry);
        }
        // Whatever happened, the device is tested and identified afresh.
        environment_.dropConnection();
        if (succeeded) {
            dialogs_.Information(
                PickText("Поздравляем!!!\n\rВаш прибор\n\rблагополучно обновлен!!!",
                         "Congratulations\n\rYour Device successfully\n\rupdated"));
            return Outcome::Succeeded;
        }
        if (Stopping()) {
            context_.log.LogError(StoppedText(failedStep_));
            return Outcome::Stopped;
        }
        if (!dialogs_.AskYesNo(PickText("Ошибка обновления\n\rПопыытаться повторить еще раз?",
                                        "Error of Update\n\rTry again?"))) {
            return Outcome::Failed;
        }
    }
}

bool FirmwareUpdate::Attempt(bool retry) {
    failedStep_ = 0;
    // The last attempt left the device to be found again: give it the time a
    // restart gives it before sending anything.
    if (retry && !DeviceRestart(context_, environment_).AwaitDevice()) {
        failedStep_ = 1;
        return false;
    }
    for (int step = 1; step <= kSteps; ++step) {
        if (status_) {
            status_(StepText(step), StatusStyle::Warning);
        }
        if (Stopping() || !RunStep(step)) {
            failedStep_ = step;
            return false;
        }
    }
    return true;
}

bool FirmwareUpdate::Restarted(RestartResult result, DeviceMode wanted) {
    return result == RestartResult::Done && CheckMode(context_.commands, context_.log) == wanted;
}

bool FirmwareUpdate::RunStep(int step) {
    DeviceRestart restart(context_, environment_);
    switch (step) {
        case 1:
            return Prepared() && Restarted(restart.IntoBootLoader(), DeviceMode::BootLoader);
        case 2:
            return CpuFlashWriter(context_).Run() == WriteOutcome::Done;
        case 3:
            return Restarted(restart.IntoMainProgram(), DeviceMode::MainProgram);
        case 4:
            return ExternalFlashWriter(context_, screens_).Run() == WriteOutcome::Done;
        default:
            return restart.IntoMainProgram() == RestartResult::Done && CarriedVersionRunning();
    }
}

// The main program and the boot loader both tell where the CPU image goes, so
// the write is judged before the restart, in either mode.
bool FirmwareUpdate::Prepared() {
    const DeviceMode mode = CheckMode(context_.commands, context_.log);
    return mode != DeviceMode::Unreadable && PlanCpuImage(context_.commands, context_.log) &&
           SettingsKept(mode);
}

// Once per update: a retry finds them kept already.
bool FirmwareUpdate::SettingsKept(DeviceMode mode) {
    if (!keepSettings_ || settingsKept_) {
        return true;
    }
    if (mode == DeviceMode::BootLoader) {
        context_.log.AddLine(PickText("Настройки не сохранены: прибор в режиме BOOT",
                                      "Settings not saved: the device is in BOOT mode"));
        return true;
    }
    settingsKept_ = !keepSettings_().empty();
    if (!settingsKept_) {
        context_.log.LogError(PickText("Настройки прибора не сохранены, обновление не начато",
                                       "Device settings not saved, the update did not start"));
    }
    return settingsKept_;
}

bool FirmwareUpdate::CarriedVersionRunning() {
    const auto& soft = context_.commands.CachedSoftInfo();
    const std::uint16_t carried = CarriedMainVersion(board_);
    if (soft && soft->mainVersion == carried) {
        return true;
    }
    context_.log.LogError(PickText("После обновления TLX4 : ", "TLX4 after update: ") +
                          (soft ? VersionText(soft->mainVersion) : std::string("?")) +
                          PickText(", ожидалась ", ", expected ") + VersionText(carried));
    return false;
}
