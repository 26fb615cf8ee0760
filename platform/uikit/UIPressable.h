#pragma once

#include <QString>

class QKeyEvent;

// A view that is pressed like a button though it is none: a read-out that opens a typed entry,
// a row that opens a picker. While it has the focus, Enter, Return and Space press it;
// assistive technologies see a button, named by the view's accessible name, with the text the
// view shows as its value, and can press it.
class UIPressable {
public:
    virtual ~UIPressable() = default;

    // What a tap does.
    virtual void press() = 0;
    // The text the view shows, which a screen reader reads as its value.
    virtual QString pressableValue() const = 0;

    // Enter, Return or Space, unmodified and not a repeat of a held key.
    static bool isPressKey(const QKeyEvent* event);
};
