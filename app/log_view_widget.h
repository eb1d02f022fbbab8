#pragma once

#include <QObject>
#include <QStringList>
#include <mutex>
#include <vector>

class AppLog;
class QPlainTextEdit;

// Mirrors the application log into the log memo. The log changes on the
// device worker and on the GUI thread; the changes are collected in their
// order and applied in one piece on the GUI thread when its loop next runs,
// so a burst of thousands of lines costs one layout pass instead of one per line.
class LogView : public QObject {
    Q_OBJECT
  public:
    LogView(AppLog& log, QPlainTextEdit* memo, QObject* parent = nullptr);
    ~LogView() override;

    // Brings the memo up to date at once; on the GUI thread.
    void Flush();

  private:
    enum class Change { Appended, LastReplaced, Cleared };
    struct Pending {
        Change change;
        QString line;
    };

    // From any thread, under the log's own lock.
    void Record(Change change, const std::string& line);
    void AppendLines(QStringList& lines);
    void ReplaceLastLine(const QString& line);

    AppLog& log_;
    QPlainTextEdit* memo_;
    std::mutex lock_;
    std::vector<Pending> pending_;
    bool flushPosted_ = false;
};
