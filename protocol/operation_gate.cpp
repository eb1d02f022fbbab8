#include "protocol/operation_gate.h"

#include "base/language.h"
#include "protocol/device_models.h"

namespace {
constexpr const char* kLineBreak = "\n\r";
}  // namespace

GateRefusal RefusalReason(const GateInputs& inputs) {
    if (!inputs.connected) {
        return GateRefusal::NotConnected;
    }
    if (!inputs.recognized) {
        return GateRefusal::NotRecognized;
    }
    const SupportedModel* model = FindSupportedModel(inputs.BoardCode());
    if (model == nullptr) {
        return GateRefusal::UnsupportedBoard;
    }
    if (!model->HardwareMatches(*inputs.board)) {
        return GateRefusal::UnsupportedVersion;
    }
    if (!model->FirmwareCurrent(inputs.MainVersion())) {
        return GateRefusal::FirmwareTooOld;
    }
    return GateRefusal::None;
}

std::string RefusalMessage(GateRefusal reason) {
    switch (reason) {
        case GateRefusal::None:
            return {};
        case GateRefusal::NotConnected:
            return PickText("Соединение не установлено", "Device not connected");
        case GateRefusal::NotRecognized:
        case GateRefusal::UnsupportedBoard:
            return PickText("Некорректное подключение\n\rили подключен неизвестный прибор",
                            "Bad connection or\n\rDevice is not recognised");
        case GateRefusal::UnsupportedVersion:
            return PickText("Версия вашего прибора не поддерживается",
                            "Your Device Version is not supported");
        case GateRefusal::FirmwareTooOld:
            return PickText(
                "Требуется обновление прошивки\n\rПожалуйста зайдите на страницу \"О приборе\"",
                "You need Upgrade Firmware\n\rPlease goto Page \"About Device\"");
    }
    return {};
}

PageVerdict JudgePage(const GateInputs& inputs) {
    if (!inputs.connected || !inputs.recognized) {
        return {};
    }
    if (inputs.MainVersion() == 0) {
        return {false, true,
                PickText("В режиме\n\rBOOT\n\rнедоступно", "In BOOT\n\rMode is\n\rUnavaliable")};
    }
    const SupportedModel* model = FindSupportedModel(inputs.BoardCode());
    if (model != nullptr && !model->FirmwareCurrent(inputs.MainVersion())) {
        return {false, true,
                PickText("Обновите\n\rпрошивку\n\rприбора", "Need\n\rto Update\n\rFirmware")};
    }
    return {true, true, {}};
}

OperationGate::OperationGate(InputSource inputs, Dialogs& dialogs, AppLog& log)
    : inputs_(std::move(inputs)), dialogs_(dialogs), log_(log) {}

bool OperationGate::Check(const std::string& prefix, bool showMessage) {
    const GateRefusal reason = RefusalReason(inputs_());
    if (reason == GateRefusal::None) {
        return true;
    }
    std::string text = prefix.empty() ? std::string() : prefix + kLineBreak;
    if (showMessage) {
        text += RefusalMessage(reason);
    }
    if (!text.empty()) {
        dialogs_.Error(text);
        log_.LogError("DevAccessCheck Error=" + std::to_string(static_cast<int>(reason)));
    }
    return false;
}

bool OperationGate::CheckSettingsAccess(const std::string& caption) {
    const std::string line = PickText("Ошибка доступа к настройкам", "Error Settings Access");
    return Check(caption.empty() ? line : caption + kLineBreak + line, true);
}

bool OperationGate::CheckPage(std::string& notice) {
    PageVerdict verdict = JudgePage(inputs_());
    if (verdict.changesNotice) {
        notice = std::move(verdict.notice);
    }
    return verdict.allowed;
}
