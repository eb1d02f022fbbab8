#include "app/dialogs_qt.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

QString DisplayText(const std::string& text) {
    QString shown = QString::fromStdString(text);
    shown.replace(QStringLiteral("\n\r"), QStringLiteral("\n"));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

namespace {
QString Title() {
    return QApplication::applicationName();
}
}  // namespace

void QtDialogs::Error(const std::string& text) {
    QMessageBox::critical(parent_, Title(), DisplayText(text));
}

void QtDialogs::Information(const std::string& text) {
    QMessageBox::information(parent_, Title(), DisplayText(text));
}

void QtDialogs::Warning(const std::string& text) {
    QMessageBox::warning(parent_, Title(), DisplayText(text));
}

bool QtDialogs::AskYesNo(const std::string& text) {
    return QMessageBox::warning(parent_, Title(), DisplayText(text),
                                QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

bool QtDialogs::InputQuery(const std::string& caption, const std::string& prompt,
                           std::string& value) {
    bool accepted = false;
    const QString answer =
        QInputDialog::getText(parent_, DisplayText(caption), DisplayText(prompt), QLineEdit::Normal,
                              QString::fromStdString(value), &accepted);
    if (accepted) {
        value = answer.toStdString();
    }
    return accepted;
}

bool QtDialogs::SaveFileName(const std::string& caption, const std::string& filter,
                             std::string& fileName) {
    const QString chosen = QFileDialog::getSaveFileName(parent_, DisplayText(caption),
                                                        QString::fromStdString(fileName),
                                                        QString::fromStdString(filter));
    if (chosen.isEmpty()) {
        return false;
    }
    fileName = chosen.toStdString();
    return true;
}
