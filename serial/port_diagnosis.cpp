#include "serial/port_diagnosis.h"

#include "base/language.h"

namespace {

std::string NoPermissionReason(const PortDiagnosis& d) {
    const std::string& user = d.userName;
    const std::string head =
        PickText("Нет прав на открытие ", "No permission to open ") + d.devicePath;
    if (d.inSessionGroup == Knowledge::Unknown) {
        return head + PickText(" (группа-владелец неизвестна)", " (its owner group is unknown)");
    }
    if (d.inSessionGroup == Knowledge::Yes) {
        return head +
               PickText(": права устройства не пускают даже группу ",
                        ": the device's permissions keep out even its group ") +
               d.group;
    }
    if (d.inAccountGroup) {
        return head + PickText(": устройство принадлежит группе ", ": it belongs to group ") +
               d.group +
               PickText(", а пользователь " + user + " добавлен в неё после входа",
                        ", and user " + user + " was added to it after logging in");
    }
    return head + PickText(": устройство принадлежит группе ", ": it belongs to group ") + d.group +
           PickText(", а пользователь " + user + " в неё не входит",
                    ", and user " + user + " is not in that group");
}

std::string BusyReason(const PortDiagnosis& d) {
    const std::string head = d.devicePath + PickText(" занят: его держит ", " is busy: held by ");
    if (!d.holders.holders.empty()) {
        return head + HoldersText(d.holders.holders);
    }
    return head + PickText("другая программа (какая - неизвестно)",
                           "another program (which one is unknown)");
}

}  // namespace

std::string DiagnosisReason(const PortDiagnosis& d) {
    switch (d.problem) {
        case PortProblem::None:
            return d.devicePath + PickText(" открывается", " opens");
        case PortProblem::NoPermission:
            return NoPermissionReason(d);
        case PortProblem::Busy:
            return BusyReason(d);
        case PortProblem::Gone:
            return d.devicePath + PickText(" пропал: прибор отключён или ссылка никуда не ведёт",
                                           " is gone: the device was unplugged or its link "
                                           "points nowhere");
        case PortProblem::Other:
            break;
    }
    return PickText("Не удаётся открыть ", "Cannot open ") + d.devicePath + ": " + d.systemMessage;
}

std::string DiagnosisSuggestion(const PortDiagnosis& d) {
    switch (d.problem) {
        case PortProblem::NoPermission:
            if (d.inSessionGroup == Knowledge::No && d.inAccountGroup) {
                return PickText("войдите в систему заново", "log in again");
            }
            if (d.inSessionGroup == Knowledge::No) {
                return "sudo usermod -aG " + d.group + " $USER" +
                       PickText(", затем войдите в систему заново", ", then log in again");
            }
            return PickText("попросите администратора дать доступ к ",
                            "ask the administrator for access to ") +
                   d.devicePath;
        case PortProblem::Busy:
            if (!d.holders.holders.empty()) {
                return PickText("закройте ", "close ") + HoldersText(d.holders.holders) +
                       PickText(" или дождитесь, пока порт освободится",
                                " or wait until it lets the port go");
            }
            return PickText("закройте другую программу, работающую с портом",
                            "close the other program that uses the port");
        case PortProblem::Gone:
            return PickText("подключите прибор снова", "plug the dosimeter in again");
        case PortProblem::None:
        case PortProblem::Other:
            break;
    }
    return {};
}

std::string DiagnosisText(const PortDiagnosis& diagnosis) {
    const std::string suggestion = DiagnosisSuggestion(diagnosis);
    return DiagnosisReason(diagnosis) + (suggestion.empty() ? "" : "; " + suggestion);
}

std::string PortOpenFailureText(const std::string& path, int error) {
    return DiagnosisText(DiagnoseOpenError(path, error, SystemRoots{}, UserIdentity::Current()));
}
