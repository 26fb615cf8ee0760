#pragma once

#include "common/QtPrinters.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

// Whole-file reads and writes and file facts for tests, each independent of the code under
// test. A missing file reads as "<missing>", so it never equals an empty one.
inline QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Writes in place (not atomically, as another program might), making the directory first.
inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    const bool ok =
        file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
    if (!ok)
        ADD_FAILURE() << "cannot write " << path.toStdString();
    return ok;
}

inline struct stat statOf(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::stat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st;
}

inline mode_t modeOf(const QString& path) {
    return statOf(path).st_mode & 07777;
}

// Every entry of a directory, hidden ones too, sorted by name.
inline QStringList entriesIn(const QString& dir) {
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A group a file can be given that differs from the one this process's new files get, so that
// keeping a file's group takes a chown; none when this user belongs to a single group.
inline std::optional<gid_t> otherGroup() {
    if (::geteuid() == 0)
        return gid_t(::getegid() + 4242);
    gid_t groups[64];
    const int count = ::getgroups(64, groups);
    for (int i = 0; i < count; ++i) {
        if (groups[i] != ::getegid())
            return groups[i];
    }
    return std::nullopt;
}
