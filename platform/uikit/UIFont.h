#pragma once

#include <QFont>

// The system font of the device, stood in for by Inter, with Noto Sans CJK for Chinese text.
// Sizes are points of the device, used as logical pixels.
class UIFont {
public:
    static QFont systemFontOfSize(qreal size, QFont::Weight weight = QFont::Normal);
    static QFont boldSystemFontOfSize(qreal size) { return systemFontOfSize(size, QFont::Bold); }
};
