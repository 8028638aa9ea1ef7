# Cross-build for 64-bit Windows with Debian's mingw-w64, posix thread model (std::thread).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The programs carry their runtime (libgcc, libstdc++, winpthread): a folder of .exe files
# runs on any Windows, and under Wine, without the compiler's DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# pkg-config reads the libraries built for Windows only, never the Linux ones.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${VT_MINGW_PREFIX}/lib/pkgconfig:/usr/${VT_MINGW_PREFIX}/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

# GCC 12 sees overlapping copies in the inlined concatenation of wide strings where there are
# none (its bug 105329); the warning says nothing about this code.
set(CMAKE_CXX_FLAGS_INIT "-Wno-restrict")
