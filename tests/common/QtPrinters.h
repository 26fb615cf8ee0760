#pragma once

#include <QPointF>
#include <QString>
#include <QVariant>
#include <ostream>

// Readable failure messages for the Qt types tests compare most.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QVariant& value, std::ostream* os) {
    *os << value.typeName() << "(" << value.toString().toStdString() << ")";
}
inline void PrintTo(const QPointF& point, std::ostream* os) {
    *os << "(" << point.x() << ", " << point.y() << ")";
}
