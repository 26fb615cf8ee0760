#pragma once

#include "PaneFixture.h"

#include <QDir>
#include <QMutex>
#include <QStringList>
#include <optional>

// What one store through the pane left behind besides the file: the warnings it wrote and the
// reload notifications that reached an observer on the bus. Warnings are captured for the
// watch's lifetime; deliveries are counted once every earlier post has arrived.
class StoreOutcomeWatch {
public:
    StoreOutcomeWatch() {
        QMutexLocker lock(&mutex());
        messages().clear();
        _previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext&, const QString& message) {
                QMutexLocker lock(&mutex());
                messages().append({type, message});
            });
        _postsBefore = postsSoFar();
        if (haveSessionBus())
            _reloads.emplace();
    }
    ~StoreOutcomeWatch() { qInstallMessageHandler(_previous); }
    StoreOutcomeWatch(const StoreOutcomeWatch&) = delete;
    StoreOutcomeWatch& operator=(const StoreOutcomeWatch&) = delete;

    QStringList warnings() const {
        QMutexLocker lock(&mutex());
        QStringList lines;
        for (const auto& [type, text] : messages())
            if (type == QtWarningMsg || type == QtCriticalMsg)
                lines.append(text);
        return lines;
    }
    // Posts made by this process since the watch began, whether or not a bus carried them.
    quint64 posts() const { return postsSoFar() - _postsBefore; }
    // Whether exactly `count` reload notifications reached an observer on the bus since the
    // watch began; without a bus only posts() can tell.
    bool deliveredExactly(int count) { return !_reloads || _reloads->settled() == count; }

    // The store landed: no warning and exactly one announcement.
    testing::AssertionResult landed() {
        if (const QStringList lines = warnings(); !lines.isEmpty())
            return testing::AssertionFailure() << "warned: " << lines.join('\n').toStdString();
        return announced(1);
    }
    // The store failed and said so: exactly one warning, naming `path` and `reason`, and
    // nobody told to reload.
    testing::AssertionResult failedAndReported(const QString& path, const QString& reason = {}) {
        const QStringList lines = warnings();
        if (lines.size() != 1 || !lines.first().contains(path) || !lines.first().contains(reason))
            return testing::AssertionFailure()
                   << "expected one warning naming " << path.toStdString() << " and \""
                   << reason.toStdString() << "\", got: " << lines.join('\n').toStdString();
        return announced(0);
    }

private:
    testing::AssertionResult announced(int count) {
        if (posts() != quint64(count))
            return testing::AssertionFailure() << posts() << " posts, expected " << count;
        if (!deliveredExactly(count))
            return testing::AssertionFailure() << "not delivered exactly " << count << " times";
        return testing::AssertionSuccess();
    }
    static QMutex& mutex() {
        static QMutex m;
        return m;
    }
    static QList<std::pair<QtMsgType, QString>>& messages() {
        static QList<std::pair<QtMsgType, QString>> list;
        return list;
    }

    QtMessageHandler _previous = nullptr;
    std::optional<ReloadCounter> _reloads;
    quint64 _postsBefore = 0;
};

// Every entry of `dir` but `keep`, hidden ones included: what a write left lying around.
inline QStringList leftoversIn(const QString& dir, const QStringList& keep) {
    QStringList entries =
        QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : keep)
        entries.removeAll(name);
    return entries;
}
