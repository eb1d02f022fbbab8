#include "sim/transcript.h"

#include <algorithm>
#include <cstdio>

std::string TranscriptEntry::ToJson() const {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(data.size() * 2);
    for (std::uint8_t byte : data) {
        hex += kHex[byte >> 4];
        hex += kHex[byte & 0x0F];
    }
    char head[160];
    std::snprintf(head, sizeof head,
                  "{\"time\":%llu,\"direction\":\"%s\",\"group\":%d,\"code\":%d,",
                  static_cast<unsigned long long>(timeMs),
                  direction == Direction::Request ? "request" : "answer", group, code);
    return std::string(head) + "\"data\":\"" + hex + "\"}";
}

Transcript::Transcript(const std::string& path) {
    if (!path.empty()) {
        file_.open(path, std::ios::out | std::ios::trunc);
    }
}

void Transcript::Add(TranscriptEntry entry) {
    if (file_.is_open()) {
        file_ << entry.ToJson() << '\n';
        file_.flush();
    }
    entries_.push_back(std::move(entry));
    if (entries_.size() > kMemoryLimit) {
        entries_.pop_front();
    }
}

std::vector<TranscriptEntry> Transcript::Requests() const {
    std::vector<TranscriptEntry> requests;
    std::copy_if(entries_.begin(), entries_.end(), std::back_inserter(requests),
                 [](const TranscriptEntry& e) {
                     return e.direction == TranscriptEntry::Direction::Request;
                 });
    return requests;
}

std::size_t Transcript::CountRequests(int group, int code) const {
    return Count(TranscriptEntry::Direction::Request, group, code);
}

std::size_t Transcript::Count(TranscriptEntry::Direction direction, int group, int code) const {
    return static_cast<std::size_t>(
        std::count_if(entries_.begin(), entries_.end(), [&](const TranscriptEntry& e) {
            return e.direction == direction && e.group == group && e.code == code;
        }));
}
