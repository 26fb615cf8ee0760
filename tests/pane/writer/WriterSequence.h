#pragma once

#include "common/TestBundle.h"

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

// What the writer child stores and where, shared by the child and the tests that check the file
// it leaves behind, so both sides agree on every key and value without talking.
namespace WriterSequence {

inline const QString kKillLoopBundle = QStringLiteral("/bundles/killloop.bundle/");
inline const QString kWritersBundle = QStringLiteral("/bundles/writers.bundle/");

// The kill-loop child's rows: one of each kind it writes, the switch controlling the text row
// so every store also runs the pane's height pass.
inline QVariantList killLoopRows() {
    return {groupRow("Writer"),
            cellRow("PSSliderCell", "level", "level", {{"min", 0.0}, {"max", 1e12}}),
            controlRow("flag", 1, {{"default", true}}), cellRow("PSEditTextCell", "name", "name")};
}

struct Write {
    QString key;
    QVariant value;
};

// Write `index` of round `round`. Every third write moves the level to a value no other write
// of any round uses, so no two states a round passes through are alike.
inline Write killLoopWrite(int round, qint64 index) {
    switch (index % 3) {
    case 0:
        return {QStringLiteral("level"), double(round) * 1e6 + double(index)};
    case 1:
        return {QStringLiteral("flag"), (index / 3) % 2 == 0};
    default:
        return {QStringLiteral("name"), QStringLiteral("r%1-w%2").arg(round).arg(index)};
    }
}

inline QString paneKey(int index) {
    return QStringLiteral("pane-%1").arg(index);
}
inline QString addonKey(int index) {
    return QStringLiteral("addon-%1").arg(index);
}

// The writer-mode child's rows: one switch per key it stores.
inline QVariantList writerRows(int count) {
    QVariantList rows{groupRow("Writers")};
    for (int index = 0; index < count; ++index)
        rows.append(switchRow(paneKey(index)));
    return rows;
}

} // namespace WriterSequence
