// The file that GoogleTest's precompiled header is built with (tests/CMakeLists.txt); the
// test programs reuse the header, and this file adds nothing to any of them.
