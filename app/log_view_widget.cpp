#include "app/log_view_widget.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "base/app_log.h"

LogView::LogView(AppLog& log, QPlainTextEdit* memo, QObject* parent)
    : QObject(parent), log_(log), memo_(memo) {
    QStringList lines;
    for (const auto& line : log_.Lines()) {
        lines.append(QString::fromStdString(line));
    }
    AppendLines(lines);
    log_.SetObserver({[this](const std::string& line) { Record(Change::Appended, line); },
                      [this](const std::string& line) { Record(Change::LastReplaced, line); },
                      [this] { Record(Change::Cleared, {}); }});
}

LogView::~LogView() {
    log_.SetObserver({});
}

void LogView::Record(Change change, const std::string& line) {
    const std::lock_guard<std::mutex> guard(lock_);
    if (change == Change::Cleared) {
        pending_.clear();
    }
    pending_.push_back({change, QString::fromStdString(line)});
    if (!flushPosted_) {
        flushPosted_ = true;
        QMetaObject::invokeMethod(this, &LogView::Flush, Qt::QueuedConnection);
    }
}

void LogView::Flush() {
    std::vector<Pending> changes;
    {
        const std::lock_guard<std::mutex> guard(lock_);
        changes.swap(pending_);
        flushPosted_ = false;
    }
    QStringList lines;
    for (const Pending& pending : changes) {
        switch (pending.change) {
            case Change::Appended:
                lines.append(pending.line);
                break;
            case Change::LastReplaced:
                AppendLines(lines);
                ReplaceLastLine(pending.line);
                break;
            case Change::Cleared:
                lines.clear();
                memo_->clear();
                break;
        }
    }
    AppendLines(lines);
}

void LogView::AppendLines(QStringList& lines) {
    if (lines.isEmpty()) {
        return;
    }
    QScrollBar* bar = memo_->verticalScrollBar();
    const bool followEnd = bar->value() == bar->maximum();
    memo_->appendPlainText(lines.join(QLatin1Char('\n')));
    lines.clear();
    if (followEnd) {
        bar->setValue(bar->maximum());
    }
}

void LogView::ReplaceLastLine(const QString& line) {
    QTextCursor cursor(memo_->document()->lastBlock());
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(line);
}
