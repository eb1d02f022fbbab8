#include "base/app_log.h"

void AppLog::Append(const std::string& text) {
    lines_.push_back(text);
    if (observer_.appended) {
        observer_.appended(text);
    }
}

void AppLog::AddLine(const std::string& text) {
    if (lines_.size() == kFullThreshold) {
        Append(kFullMarker);
    }
    // A repeated message is logged once until another one comes between.
    if (text != lastLine_) {
        Append(text);
        lastLine_ = text;
    }
}

void AppLog::LogError(const std::string& text) {
    AddLine("# ERROR: \"" + text + "\"");
}

void AppLog::LogErrorCode(const std::string& text, int code) {
    AddLine("ERROR=[" + std::to_string(code) + "]-\"" + text + "\"");
}

void AppLog::ReplaceLastLine(const std::string& text) {
    if (lines_.empty()) {
        return;
    }
    lines_.back() = text;
    if (observer_.lastReplaced) {
        observer_.lastReplaced(text);
    }
}

void AppLog::Clear() {
    lines_.clear();
    if (observer_.cleared) {
        observer_.cleared();
    }
}

std::string AppLog::Text() const {
    std::string text;
    for (const auto& line : lines_) {
        text += line;
        text += '\n';
    }
    return text;
}

LogSink AppLog::Sink() {
    return [this](const std::string& text) { AddLine(text); };
}
