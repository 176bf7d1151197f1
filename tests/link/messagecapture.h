#pragma once

// Collects the log messages of this thread while it lives, instead of printing them.

#include <QRegularExpression>
#include <QStringList>
#include <QtGlobal>

class MessageCapture
{
public:
    MessageCapture()
    {
        current = this;
        previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &text) {
            current->lines << text;
        });
    }
    ~MessageCapture()
    {
        qInstallMessageHandler(previous);
        current = nullptr;
    }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    int count(const QString &text) const { return lines.count(text); }
    QStringList matching(const QString &pattern) const { return lines.filter(QRegularExpression(pattern)); }

    QStringList lines;

private:
    static inline MessageCapture *current = nullptr;
    QtMessageHandler previous = nullptr;
};
