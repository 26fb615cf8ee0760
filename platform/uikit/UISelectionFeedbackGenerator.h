#pragma once

#include <QObject>

// Selection haptics. A desktop has no haptic engine, so the generator counts what it was
// asked to do, for tests and for the curious.
class UISelectionFeedbackGenerator : public QObject {
    Q_OBJECT
public:
    explicit UISelectionFeedbackGenerator(QObject* parent = nullptr) : QObject(parent) {}

    void selectionChanged();
    void prepare();
    int selectionChangedCount() const { return _selectionChanged; }
    int prepareCount() const { return _prepared; }

signals:
    void selectionChangedRequested();

private:
    int _selectionChanged = 0;
    int _prepared = 0;
};
