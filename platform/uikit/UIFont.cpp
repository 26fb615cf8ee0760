#include "uikit/UIFont.h"

#include <QStringList>

QFont UIFont::systemFontOfSize(qreal size, QFont::Weight weight) {
    QFont font;
    font.setFamilies({QStringLiteral("Inter"), QStringLiteral("Noto Sans CJK SC"),
                      QStringLiteral("Noto Sans CJK")});
    font.setPixelSize(qMax(1, qRound(size)));
    font.setWeight(weight);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}
