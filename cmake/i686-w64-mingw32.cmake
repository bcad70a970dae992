# Cross-compiles for 32-bit Windows with Debian's mingw-w64 (g++-mingw-w64-i686).
#
# The -posix variant, because GoogleTest needs the C++ thread library; the
# product links it statically like everything else and starts no thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(KESORV_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KESORV_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESORV_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESORV_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KESORV_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program, the tool and its test programs alike, must run on a bare
# Windows (or Wine) where no mingw runtime DLL is installed.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
