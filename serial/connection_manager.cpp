#include "serial/connection_manager.h"

#include <cctype>
#include <charconv>

#include "base/language.h"

ConnectionManager::ConnectionManager(PortList& ports, ConnectionPort& port, ConnectionHooks hooks)
    : ports_(ports), port_(port), hooks_(std::move(hooks)) {}

void ConnectionManager::Reset() {
    state_.CandidatePort = -1;
    state_.ConnectedPort = -1;
    state_.Connected = false;
}

int ConnectionManager::ConnectionTest() {
    if (hooks_.linkCheckEnabled && !hooks_.linkCheckEnabled()) {
        return 1;
    }
    return hooks_.connectionTest ? hooks_.connectionTest() : -1;
}

void ConnectionManager::ShowLinkIndicator(LinkIndicatorKind kind) {
    if (hooks_.showIndicator) {
        hooks_.showIndicator(
            MakeLinkIndicator(kind, state_.BlinkToggle, port_.IsOpen(), port_.PortNumber()));
    }
}

void ConnectionManager::Timer_ConnectionTimer() {
    // Counted on every way out.
    struct StepCount {
        ConnectionState& state;
        ~StepCount() { ++state.stepsDone; }
    } stepCount{state_};

    state_.BlinkToggle = state_.BlinkToggle == 0 ? 1 : 0;
    switch (state_.state) {
        case ConnectionMode::Check:
            CheckStep();
            break;
        case ConnectionMode::Scan:
            ScanStep();
            break;
        case ConnectionMode::Manual:
            ManualStep();
            break;
    }
}

void ConnectionManager::Disconnect() {
    state_.ConnectedPort = -1;
    state_.Connected = false;
}

void ConnectionManager::OnTestFailed(int result) {
    if (result == 0) {
        port_.Close();
        Disconnect();
        ShowLinkIndicator(LinkIndicatorKind::Err);
    } else {
        Disconnect();
        ShowLinkIndicator(LinkIndicatorKind::Nok);
    }
}

bool ConnectionManager::OpenCandidate() {
    port_.SetPortNumber(state_.CandidatePort);
    port_.Close();
    return port_.Open();
}

void ConnectionManager::ConnectCandidate() {
    state_.Connected = true;
    state_.ConnectedPort = state_.CandidatePort;
    ports_.SetLastConnectedPort(state_.CandidatePort);
    ShowLinkIndicator(LinkIndicatorKind::Ok);
}

void ConnectionManager::CheckStep() {
    if (!state_.Connected) {
        ShowLinkIndicator(LinkIndicatorKind::Nok);
        state_.state = ConnectionMode::Scan;
        return;
    }
    const int result = ConnectionTest();
    if (result >= 1) {
        ShowLinkIndicator(LinkIndicatorKind::Ok);
        return;
    }
    OnTestFailed(result);
    state_.state = ConnectionMode::Scan;
}

void ConnectionManager::ScanStep() {
    ports_.Refresh();
    const int count = ports_.Count();
    if (count == 0) {
        Disconnect();
        state_.CandidatePort = -1;
        port_.Close();
        ShowLinkIndicator(LinkIndicatorKind::Nok);
        return;
    }
    if (ports_.RestartScan() || ports_.ScanPosition() >= count) {
        ports_.SetScanPosition(0);
    }
    state_.CandidatePort = ports_.ScanOrderAt(ports_.ScanPosition());
    if (state_.CandidatePort >= 0 && OpenCandidate()) {
        const int result = ConnectionTest();
        if (result >= 1) {
            ConnectCandidate();
            state_.state = ConnectionMode::Check;
            return;
        }
        OnTestFailed(result);
    }
    const int next = ports_.ScanPosition() + 1;
    ports_.SetScanPosition(next >= count ? 0 : next);
}

void ConnectionManager::ManualStep() {
    if (state_.CandidatePort >= 0 && state_.CandidatePort != state_.ConnectedPort &&
        state_.Connected) {
        // The user chose another port: drop this one; the next step opens the new one.
        port_.Close();
        Disconnect();
        ShowLinkIndicator(LinkIndicatorKind::Err);
        return;
    }
    if (state_.Connected) {
        const int result = ConnectionTest();
        if (result >= 1) {
            ShowLinkIndicator(LinkIndicatorKind::Ok);
        } else {
            OnTestFailed(result);
        }
        return;
    }
    state_.ConnectedPort = -1;
    port_.Close();
    if (state_.CandidatePort < 0) {
        return;
    }
    if (!OpenCandidate()) {
        ShowLinkIndicator(LinkIndicatorKind::Nok);
        return;
    }
    const int result = ConnectionTest();
    if (result >= 1) {
        ConnectCandidate();
    } else {
        OnTestFailed(result);
    }
}

void ConnectionManager::Action_Connection_Auto() {
    menu_.autoChecked = true;
    menu_.manualChecked = false;
    state_.state = ConnectionMode::Check;
}

void ConnectionManager::Action_Connection_Manual_Number(Dialogs& dialogs) {
    std::string text = std::to_string(state_.ManualPort);
    if (!dialogs.InputQuery(
            PickText("Установка соединения", "Connecting"),
            PickText("Введите номер COM порта от 0 до 250", "Enter COM Port Number from 0 to 250"),
            text)) {
        menu_.autoChecked = menu_.recordedAutoChecked;
        menu_.manualChecked = !menu_.recordedAutoChecked;
        return;
    }
    const int number = ParsePortNumberText(text);
    if (number < 0 || number > kHighestManualPort) {
        dialogs.Error(PickText("Ошибка формата номера COM порта", "COM Port Number Format Error"));
        return;
    }
    state_.ManualPort = number;
    state_.CandidatePort = number;
    menu_.manualChecked = true;
    menu_.autoChecked = false;
    menu_.manualCaption = PickText("Вручную COM", "Manual COM") + std::to_string(number);
    state_.state = ConnectionMode::Manual;
}

int ParsePortNumberText(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(text[begin]))) {
        ++begin;
    }
    while (end > begin && std::isspace(static_cast<unsigned char>(text[end - 1]))) {
        --end;
    }
    if (begin < end && text[begin] == '+') {
        ++begin;
    }
    int number = 0;
    const auto [rest, error] = std::from_chars(text.data() + begin, text.data() + end, number);
    if (begin == end || error != std::errc{} || rest != text.data() + end) {
        return -1;
    }
    return number;
}
