#include "app/log_view_widget.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include "base/app_log.h"

LogView::LogView(AppLog& log, QPlainTextEdit* memo, QObject* parent)
    : QObject(parent), log_(log), memo_(memo) {
    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, &LogView::Flush);
    for (const auto& line : log_.Lines()) {
        pending_.append(QString::fromStdString(line));
    }
    Flush();
    log_.SetObserver({[this](const std::string& line) { Appended(line); },
                      [this](const std::string& line) { LastReplaced(line); },
                      [this] { Cleared(); }});
}

LogView::~LogView() {
    log_.SetObserver({});
}

void LogView::Appended(const std::string& line) {
    pending_.append(QString::fromStdString(line));
    if (!flushTimer_.isActive()) {
        flushTimer_.start();
    }
}

void LogView::Flush() {
    flushTimer_.stop();
    if (pending_.isEmpty()) {
        return;
    }
    QScrollBar* bar = memo_->verticalScrollBar();
    const bool followEnd = bar->value() == bar->maximum();
    memo_->appendPlainText(pending_.join(QLatin1Char('\n')));
    pending_.clear();
    if (followEnd) {
        bar->setValue(bar->maximum());
    }
}

void LogView::LastReplaced(const std::string& line) {
    Flush();
    QTextCursor cursor(memo_->document()->lastBlock());
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.movePosition(QTextCursor::StartOfBlock);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(QString::fromStdString(line));
}

void LogView::Cleared() {
    pending_.clear();
    flushTimer_.stop();
    memo_->clear();
}
