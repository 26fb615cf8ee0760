#pragma once

#include "cells/QEVColor.h"

#include <QString>

// Conversions between a colour string, a colour value and the text shown under a colour row's
// title. Pure functions: no state, no errors; every text gives a result.
//
// Colour strings are written as #RRGGBB or #RRGGBBAA (upper case). On reading, every "#" is
// dropped, case is ignored, and RRGGBB:P gives the opacity P in percent.
//
// An absent value (a row with nothing stored, no default and no fallback) is the null QString.
// It reads exactly as the empty text: black, fully transparent when alpha is honoured and opaque
// otherwise, shown as "#000000:0.00".
class QEVColorCodec {
public:
    static QEVColor colorFromHex(const QString& hex, bool useAlpha);
    static QString hexFromColor(const QEVColor& color, bool useAlpha);
    static QString legibleStringFromHex(const QString& hex);

    // Every "#" removed, the rest upper case.
    static QString normalizedHex(const QString& hex);
    // The normalised text with its alpha byte appended from the percentage ("FF0000:50" ->
    // "FF00007F"), or 255 when there is no single percentage; may exceed eight digits.
    static QString completedHex(const QString& normalized);
    // The alpha byte of a percentage: p / 100 in single precision, times 255, truncated.
    static qint32 alphaByteFromPercent(float percent);
    // A component's channel byte: c * 255 truncated toward zero, saturating, NaN as 0.
    static qint32 byteFromComponent(double component);
};
