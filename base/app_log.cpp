#include "base/app_log.h"

#include <string_view>

void AppLog::Append(const std::string& text) {
    lines_.push_back(text);
    if (observer_.appended) {
        observer_.appended(text);
    }
}

void AppLog::AddLine(const std::string& text) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (lines_.size() == kFullThreshold) {
        Append(kFullMarker);
    }
    // A repeated message is logged once until another one comes between.
    if (text != lastLine_) {
        Append(text);
        lastLine_ = text;
    }
}

namespace {

constexpr std::string_view kErrorOpen = "# ERROR: \"";

}  // namespace

void AppLog::LogError(const std::string& text) {
    AddLine(std::string(kErrorOpen) + text + "\"");
}

std::vector<std::string> AppLog::ErrorsSince(std::size_t first) const {
    const std::lock_guard<std::mutex> guard(lock_);
    std::vector<std::string> errors;
    for (std::size_t i = first; i < lines_.size(); ++i) {
        const std::string_view line = lines_[i];
        if (line.size() > kErrorOpen.size() && line.substr(0, kErrorOpen.size()) == kErrorOpen &&
            line.back() == '"') {
            errors.emplace_back(
                line.substr(kErrorOpen.size(), line.size() - kErrorOpen.size() - 1));
        }
    }
    return errors;
}

void AppLog::LogErrorCode(const std::string& text, int code) {
    AddLine("ERROR=[" + std::to_string(code) + "]-\"" + text + "\"");
}

void AppLog::ReplaceLastLine(const std::string& text) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (lines_.empty()) {
        return;
    }
    lines_.back() = text;
    if (observer_.lastReplaced) {
        observer_.lastReplaced(text);
    }
}

void AppLog::Clear() {
    const std::lock_guard<std::mutex> guard(lock_);
    lines_.clear();
    if (observer_.cleared) {
        observer_.cleared();
    }
}

std::vector<std::string> AppLog::Lines() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return lines_;
}

std::size_t AppLog::LineCount() const {
    const std::lock_guard<std::mutex> guard(lock_);
    return lines_.size();
}

std::string AppLog::Text() const {
    const std::lock_guard<std::mutex> guard(lock_);
    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += '\n';
    }
    return text;
}

void AppLog::SetObserver(Observer observer) {
    const std::lock_guard<std::mutex> guard(lock_);
    observer_ = std::move(observer);
}

LogSink AppLog::Sink() {
    return [this](const std::string& text) { AddLine(text); };
}
