# Cross-compiles the 32-bit Windows tests with the posix-thread MinGW-w64 compilers
# (GoogleTest needs std::mutex, which the win32-thread ones lack); the rest as the release build.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
unset(BJ_SUITES_TOOLCHAIN)  # these compilers build the suites themselves
