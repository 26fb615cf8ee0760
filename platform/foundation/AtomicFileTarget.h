#pragma once

#include <QByteArray>
#include <QString>

// The file AtomicFile really replaces for a path: when the path is a symbolic link (or a chain
// of them), the file at its end, so the link survives and the file it points to gets the new
// content. A dangling link resolves to the path it points to, which the write then creates.
struct AtomicFileTarget {
    QByteArray dir;  // absolute, with links in it resolved where it exists
    QByteArray name; // the final component; empty when the path names no file
    int error = 0;   // errno when resolution failed (ELOOP, ...); 0 otherwise

    QByteArray path() const { return dir.endsWith('/') ? dir + name : dir + "/" + name; }

    static AtomicFileTarget resolve(const QString& hostPath);
};
