#pragma once

#include "uikit/UIColor.h"
#include "uikit/UITintObserver.h"

#include <QColor>

class QWidget;

// The tint colour, inherited down the widget tree: a widget's own tint, else its nearest
// ancestor's, else the system blue. A tint may be dynamic; it is resolved in the appearance the
// widget is drawn in. After any change (own tint set or cleared, or a widget moved under
// another parent), every widget whose effective tint changed and that is a UITintObserver gets
// tintColorDidChange(), parents before children; a change of appearance tells those whose tint
// resolves differently (see UITraitCollection).
class UITint {
public:
    static void setTintColor(QWidget* widget, const UIColor& color); // invalid = inherit again
    static QColor tintColor(const QWidget* widget);
    static QColor ownTintColor(const QWidget* widget); // invalid if none
    static QColor systemBlue() { return UIColor::systemBlueColor().resolvedColor(); }

    // Tells the observers in `root`'s subtree that inherit their tint through `root`.
    static void notifySubtree(QWidget* root);

    // Installs the application-wide watcher of reparenting; done automatically when the
    // application object is created.
    static void installReparentWatcher();
};
