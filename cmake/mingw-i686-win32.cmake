# The shipped driver's compilers: the win32 thread model runtime imports only
# functions that Windows XP already has, where the posix one pulls in
# GetTickCount64 and the Vista locks. Everything else stays as for the posix
# compilers.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-i686.cmake)
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-win32)
