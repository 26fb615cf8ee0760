# Strings tables may be property lists, so the property-list sources come along.
set(QEV_STRINGS_FOUNDATION ${CMAKE_SOURCE_DIR}/platform/foundation)
qev_fuzz_target(fuzz_strings
    ${QEV_STRINGS_FOUNDATION}/StringsTable.cpp
    ${QEV_STRINGS_FOUNDATION}/PropertyList.cpp
    ${QEV_STRINGS_FOUNDATION}/PlistValue.cpp
    ${QEV_STRINGS_FOUNDATION}/PlistScalar.cpp
    ${QEV_STRINGS_FOUNDATION}/PlistGuard.cpp
    ${QEV_STRINGS_FOUNDATION}/BinaryPlistScanner.cpp
    ${QEV_STRINGS_FOUNDATION}/XmlPlistScanner.cpp
    ${QEV_STRINGS_FOUNDATION}/XmlPropertyList.cpp
    ${QEV_STRINGS_FOUNDATION}/AtomicFile.cpp
    ${QEV_STRINGS_FOUNDATION}/AtomicFileFaults.cpp
    ${QEV_STRINGS_FOUNDATION}/AtomicTempFile.cpp
    ${CMAKE_CURRENT_LIST_DIR}/fuzz_strings.cpp)
