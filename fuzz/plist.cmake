set(QEV_PLIST_FOUNDATION ${CMAKE_SOURCE_DIR}/platform/foundation)
set(QEV_PLIST_SOURCES
    ${QEV_PLIST_FOUNDATION}/PropertyList.cpp
    ${QEV_PLIST_FOUNDATION}/PlistValue.cpp
    ${QEV_PLIST_FOUNDATION}/PlistScalar.cpp
    ${QEV_PLIST_FOUNDATION}/PlistGuard.cpp
    ${QEV_PLIST_FOUNDATION}/BinaryPlistScanner.cpp
    ${QEV_PLIST_FOUNDATION}/XmlPlistScanner.cpp
    ${QEV_PLIST_FOUNDATION}/XmlPropertyList.cpp
    ${QEV_PLIST_FOUNDATION}/AtomicFile.cpp
    ${QEV_PLIST_FOUNDATION}/AtomicFileFaults.cpp
    ${QEV_PLIST_FOUNDATION}/AtomicTempFile.cpp)
qev_fuzz_target(fuzz_plist ${QEV_PLIST_SOURCES} ${CMAKE_CURRENT_LIST_DIR}/fuzz_plist.cpp)
