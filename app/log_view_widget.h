#pragma once

#include <QObject>
#include <QStringList>
#include <QTimer>

class AppLog;
class QPlainTextEdit;

// Mirrors the application log into the log memo. Appended lines are collected
// and added in one piece when the event loop is next idle, so a burst of
// thousands of lines costs one layout pass instead of one per line.
class LogView : public QObject {
    Q_OBJECT
  public:
    LogView(AppLog& log, QPlainTextEdit* memo, QObject* parent = nullptr);
    ~LogView() override;

    // Brings the memo up to date at once.
    void Flush();

  private:
    void Appended(const std::string& line);
    void LastReplaced(const std::string& line);
    void Cleared();

    AppLog& log_;
    QPlainTextEdit* memo_;
    QStringList pending_;
    QTimer flushTimer_;
};
