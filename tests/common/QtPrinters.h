#pragma once

#include <QByteArray>
#include <QPointF>
#include <QString>
#include <QVariant>
#include <ostream>

// Readable failure messages for the Qt types tests compare most.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
// Bytes as text, cut short: files in these tests are mostly text.
inline void PrintTo(const QByteArray& bytes, std::ostream* os) {
    *os << '"' << bytes.left(200).toStdString() << (bytes.size() > 200 ? "\"..." : "\"") << " ("
        << bytes.size() << " bytes)";
}
inline void PrintTo(const QVariant& value, std::ostream* os) {
    *os << value.typeName() << "(" << value.toString().toStdString() << ")";
}
inline void PrintTo(const QPointF& point, std::ostream* os) {
    *os << "(" << point.x() << ", " << point.y() << ")";
}
