# Cross-compiles for 32-bit Windows: the shipped program.
set(MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
