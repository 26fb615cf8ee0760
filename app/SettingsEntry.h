#pragma once

#include <QList>
#include <QString>
#include <optional>

// One installed settings entry: a property list in the preference loader's directory whose
// "entry" dictionary names a bundle, a label and an icon.
struct SettingsEntry {
    static const QString kEntriesDirectory; // device path
    static const QString kBundlesDirectory; // device path

    QString name;       // the label shown in the list ("label", else the file's base name)
    QString fileName;   // the entry file's base name
    QString bundleName; // "bundle": the bundle directory without ".bundle"
    QString iconName;   // "icon", a file in the bundle directory; may be empty

    QString bundleHostPath() const;
    QString iconHostPath() const; // empty without an icon

    // Whether `text` names this entry, by label or by file base name (case-insensitive).
    bool matches(const QString& text) const;

    // The entries installed in the current device root, sorted by name. Files that are not
    // readable entry lists, or whose bundle or icon names are not plain file names, are
    // skipped with a warning.
    static QList<SettingsEntry> installedEntries();
    static std::optional<SettingsEntry> fromFile(const QString& hostPath);
    static QString installedEntriesDirectory(); // host path
    static bool isPlainFileName(const QString& name);
};
