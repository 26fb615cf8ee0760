#pragma once

#include <QMutex>
#include <QStringList>

// Collects the warnings Qt's message handler receives while it lives (what the program writes
// to stderr), and puts the previous handler back afterwards.
class MessageLog {
public:
    MessageLog() {
        QMutexLocker lock(&mutex());
        lines().clear();
        _previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& message) {
                if (type != QtWarningMsg && type != QtCriticalMsg)
                    return;
                QMutexLocker lock(&mutex());
                lines().append(message);
            });
    }
    ~MessageLog() { qInstallMessageHandler(_previous); }
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    QStringList warnings() const {
        QMutexLocker lock(&mutex());
        return lines();
    }
    // The warnings that mention every one of `words`.
    QStringList mentioning(const QStringList& words) const {
        QStringList found;
        for (const QString& line : warnings()) {
            bool all = true;
            for (const QString& word : words)
                all = all && line.contains(word);
            if (all)
                found.append(line);
        }
        return found;
    }

private:
    static QMutex& mutex() {
        static QMutex m;
        return m;
    }
    static QStringList& lines() {
        static QStringList list;
        return list;
    }

    QtMessageHandler _previous = nullptr;
};
