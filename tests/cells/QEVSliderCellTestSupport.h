#pragma once

#include "CellTestHost.h"

#include "cells/QEVSliderCell.h"
#include "cells/QEVValueLabel.h"
#include "preferences/PSSpecifier.h"
#include "preferences/UISlider.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UILongPressGestureRecognizer.h"
#include "uikit/UISelectionFeedbackGenerator.h"
#include "uikit/UITextField.h"
#include "uikit/UITint.h"

#include <QLocale>
#include <QPushButton>

// Sets a locale for one test and puts the previous one back.
class ScopedLocale {
public:
    explicit ScopedLocale(const QLocale& locale) : _previous(QLocale()) {
        QLocale::setDefault(locale);
    }
    ~ScopedLocale() { QLocale::setDefault(_previous); }

private:
    QLocale _previous;
};

// A slider row's cell on screen, its value stored before the cell reads it. The bundle has an
// English "Root" table and a default ("Localizable") table.
struct SliderRowScreen : CellScreen<QEVSliderCell> {
    explicit SliderRowScreen(const QVariantMap& properties, const QVariant& stored = {},
                             bool inPane = true)
        : CellScreen({{"cell", "PSSliderCell"},
                      {"cellClass", "QEVSliderCell"},
                      {"key", "v"},
                      {"label", "Volume"},
                      {"localizationTable", "Root"},
                      {"min", 0.0},
                      {"max", 10.0}},
                     properties,
                     {{"Root", "\"Volume\" = \"Loudness\";\n"},
                      {"Localizable", "\"Speed\" = \"Pace\";\n"}}) {
        if (stored.isValid())
            controller.stored.insert(specifier->propertyForKey("key").toString(), stored);
        cell = new QEVSliderCell(0, "QEVSliderCell", specifier.get(), parentFor(inPane));
        specifier->setProperty(QVariant::fromValue<QObject*>(cell), PSTableCellKey);
        cell->refreshCellContentsWithSpecifier(specifier.get());
        place(50, inPane);
    }

    UISlider* slider() const { return cell->control(); }
    QString readout() const { return cell->valueLabel()->text(); }
    UISelectionFeedbackGenerator* feedback() const { return cell->feedbackGenerator(); }
    float lastStored() const {
        return controller.writes.isEmpty() ? NAN : float(controller.writes.last().toDouble());
    }
    // Taps the read-out; gives the typed entry shown by `presenter`, if any.
    UIAlertController* openEntry(UIViewController* presenter) {
        return tapForAlert(cell->valueLabel(), presenter);
    }
};

inline UIAlertAction* actionTitled(UIAlertController* alert, const QString& title) {
    for (UIAlertAction* action : alert->actions()) {
        if (action->title() == title)
            return action;
    }
    return nullptr;
}

// A long press whose state a test sets directly, to drive the cell's handlers.
class ScriptedLongPress : public UILongPressGestureRecognizer {
public:
    ScriptedLongPress() : UILongPressGestureRecognizer({}) {}
    void set(UIGestureRecognizerState state) { setState(state); }
};

inline UILongPressGestureRecognizer* longPressOf(QPushButton* button) {
    return button->findChild<UILongPressGestureRecognizer*>();
}
