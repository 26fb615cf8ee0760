#pragma once

#include <QDateTime>
#include <optional>

typedef void* plist_t;

// Scalar nodes that libplist 2.2's API cannot express directly: integers above INT64_MAX
// (plist_new_uint always stores 64 signed bits) and dates outside its 32-bit seconds or with
// a negative fraction (plist_get_date_val truncates both). They are built from, and read
// through, the binary form of a one-object list, which carries the exact stored value.
class PlistScalar {
public:
    // Whether an integer node holds an unsigned value wider than 63 bits; nullopt if the node
    // is no integer.
    static std::optional<bool> integerIsUnsigned(plist_t node);
    // A date node's exact seconds since 2001-01-01 UTC.
    static std::optional<double> dateSeconds(plist_t node);

    static plist_t newLargeUnsigned(quint64 value);
    // nullptr for an invalid date or one outside the years 1 to 9999.
    static plist_t newDate(const QDateTime& date);

    // The UTC date of seconds since 2001-01-01 (millisecond precision), if it lies within the
    // years 1 to 9999.
    static std::optional<QDateTime> dateFromSeconds(double seconds);
    static double secondsFromDate(const QDateTime& date);
};
