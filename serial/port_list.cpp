#include "serial/port_list.h"

#include <algorithm>
#include <cctype>
#include <climits>

PortList::PortList(PortNameSource source) : source_(std::move(source)) {
    Reset();
}

void PortList::Reset() {
    raw_.fill(kEmptyEntry);
    previous_.fill(Absent);
    current_.fill(Absent);
    scanOrder_.fill(-1);
    excluded_.fill(false);
    lastConnectedPort_ = -1;
    restartScan_ = false;
    firstRefresh_ = true;
    startPorts_.clear();
    scanPosition_ = 0;
    lastLoggedText_.clear();
    count_ = 0;
}

int PortList::ParsePortNumber(std::string_view name) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::size_t end = name.size();
    while (end > 0 && !isDigit(name[end - 1])) {
        --end;
    }
    std::size_t begin = end;
    while (begin > 0 && isDigit(name[begin - 1])) {
        --begin;
    }
    // A name too long for an int cannot be a real port; saturating keeps it out
    // of the scan order (numbers of 1000 and more are never tried).
    int number = 0;
    for (std::size_t i = begin; i < end; ++i) {
        const int digit = name[i] - '0';
        if (number > (INT_MAX - digit) / 10) {
            return INT_MAX;
        }
        number = number * 10 + digit;
    }
    return number;
}

bool PortList::NamesComPort(std::string_view name) {
    return name.size() >= 3 && std::toupper(static_cast<unsigned char>(name[0])) == 'C' &&
           std::toupper(static_cast<unsigned char>(name[1])) == 'O' &&
           std::toupper(static_cast<unsigned char>(name[2])) == 'M';
}

int PortList::Enumerate(int* entries, int capacity) const {
    const std::vector<std::string> names = source_ ? source_() : std::vector<std::string>{};
    const int limit = std::min(static_cast<int>(names.size()), capacity);
    for (int i = 0; i < limit; ++i) {
        entries[i] = NamesComPort(names[i]) ? ParsePortNumber(names[i]) : kEmptyEntry;
    }
    return limit;
}

int PortList::Compact(int* entries, int count) {
    int kept = 0;
    for (int i = 0; i < count; ++i) {
        const int port = entries[i];
        if (port == kEmptyEntry) {
            continue;
        }
        entries[kept++] = port;
        std::replace(entries + i + 1, entries + count, port, kEmptyEntry);
    }
    std::fill(entries + kept, entries + count, kEmptyEntry);
    return kept;
}

std::string PortList::ListText(int kept) const {
    std::string text;
    for (int i = 0; i < kept; ++i) {
        if (i > 0) {
            text += ',';
        }
        text += std::to_string(raw_[i]);
    }
    return text;
}

void PortList::LogListText(const std::string& text) {
    if (text != lastLoggedText_ && logSink_) {
        logSink_("PORT LIST: " + text);
    }
    lastLoggedText_ = text;
}

void PortList::UpdateStates(int kept) {
    for (int i = 0; i < kept; ++i) {
        const int port = raw_[i];
        if (port < 0 || port >= kCapacity) {
            continue;
        }
        const bool wasPresent = previous_[port] != Absent;
        const bool isLast = port == lastConnectedPort_;
        if ((!wasPresent && !firstRefresh_) || isLast) {
            restartScan_ = true;
        }
        if (firstRefresh_ && !isLast) {
            excluded_[port] = true;
            startPorts_.push_back(port);
        }
        current_[port] = isLast ? LastConnected : wasPresent ? Present : New;
    }
    // A port that went away and comes back later counts as new.
    for (int port = 0; port < kCapacity; ++port) {
        if (current_[port] == Absent) {
            excluded_[port] = false;
        }
    }
}

void PortList::BuildScanOrder() {
    int length = 0;
    const auto addGroup = [&](PortState state, bool skipExcluded) {
        for (int port = 0; port < kCapacity; ++port) {
            if (current_[port] == state && !(skipExcluded && excluded_[port])) {
                scanOrder_[length++] = port;
            }
        }
    };
    addGroup(LastConnected, false);
    if (!firstRefresh_) {
        addGroup(New, false);
    }
    addGroup(Present, true);
    count_ = length;
}

void PortList::Refresh() {
    restartScan_ = false;
    previous_ = current_;
    current_.fill(Absent);

    raw_.fill(kEmptyEntry);
    const int filled = Enumerate(raw_.data(), kCapacity);
    const int kept = Compact(raw_.data(), filled);
    LogListText(ListText(kept));

    UpdateStates(kept);
    BuildScanOrder();
    if (firstRefresh_) {
        std::sort(startPorts_.begin(), startPorts_.end());
    }
    firstRefresh_ = false;
}
