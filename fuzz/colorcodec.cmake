qev_fuzz_target(fuzz_colorcodec
    ${CMAKE_CURRENT_LIST_DIR}/fuzz_colorcodec.cpp
    ${CMAKE_SOURCE_DIR}/cells/QEVColorCodec.cpp
    ${CMAKE_SOURCE_DIR}/cells/QEVColor.cpp
    ${CMAKE_SOURCE_DIR}/platform/foundation/TextRules.cpp)
