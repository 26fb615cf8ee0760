#pragma once

class QWidget;

enum class UIUserInterfaceStyle { Unspecified = 0, Light = 1, Dark = 2 };
enum class UIUserInterfaceLevel { Unspecified = -1, Base = 0, Elevated = 1 };

// What a view is drawn in: light or dark appearance, and whether it lies on the window's base
// level or is raised above it, as presented content (alerts, popovers, sheets) is.
//
// The application's appearance is one for all its windows. Changing it repaints every widget at
// once: the application palette (for Qt's own widgets) is replaced, every dynamic colour set on
// a palette with UIColor::setPaletteColor is resolved again, every UITraitEnvironment hears
// traitCollectionDidChange and every UITintObserver whose tint resolves differently hears
// tintColorDidChange. Nothing is rebuilt, moved or scrolled, and the focus stays where it is.
struct UITraitCollection {
    UIUserInterfaceStyle userInterfaceStyle = UIUserInterfaceStyle::Light;
    UIUserInterfaceLevel userInterfaceLevel = UIUserInterfaceLevel::Base;

    bool operator==(const UITraitCollection&) const = default;

    // The application's appearance, on the base level.
    static UITraitCollection currentTraitCollection();
    // The appearance `view` is drawn in: elevated inside anything marked elevated.
    static UITraitCollection traitCollectionForView(const QWidget* view);
    // Marks `view` and everything inside it as raised above the base level.
    static void setElevated(QWidget* view);

    static UIUserInterfaceStyle userInterfaceStyleOfApplication();
    // Unspecified means light, as the platform shows it when nothing is asked.
    static void setUserInterfaceStyleOfApplication(UIUserInterfaceStyle style);
};

// A widget that reacts when the appearance it is drawn in changes.
class UITraitEnvironment {
public:
    virtual ~UITraitEnvironment() = default;
    virtual void traitCollectionDidChange(const UITraitCollection& previous) = 0;
};
