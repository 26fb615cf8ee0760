#pragma once

#include "uikit/UITintObserver.h"

#include <QColor>

class QWidget;

// The tint colour, inherited down the widget tree: a widget's own tint, else its nearest
// ancestor's, else the system blue. After any change (own tint set or cleared, or a widget
// moved under another parent), every widget whose effective tint changed and that is a
// UITintObserver gets tintColorDidChange(), parents before children.
class UITint {
public:
    static void setTintColor(QWidget* widget, const QColor& color); // invalid = inherit again
    static QColor tintColor(const QWidget* widget);
    static QColor ownTintColor(const QWidget* widget); // invalid if none
    static QColor systemBlue() { return QColor(0, 122, 255); }

    // Tells the observers in `root`'s subtree that inherit their tint through `root`.
    static void notifySubtree(QWidget* root);

    // Installs the application-wide watcher of reparenting; done automatically when the
    // application object is created.
    static void installReparentWatcher();
};
