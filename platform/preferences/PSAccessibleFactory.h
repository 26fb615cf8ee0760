#pragma once

class QAccessibleInterface;
class QObject;
class QString;

// Gives assistive technologies the platform's own controls as what they are: switches as check
// boxes, sliders with their values, views pressed like buttons as buttons. Qt asks it first for
// every object; it answers for the most derived class, so a subclass keeps its control's face.
// Installed with the application object.
class PSAccessibleFactory {
public:
    static QAccessibleInterface* create(const QString& className, QObject* object);
    static void install();
};
