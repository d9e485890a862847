# Cross-compiles for 64-bit Windows: the test twin of the 32-bit program, for machines that
# run no 32-bit code.
set(MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
