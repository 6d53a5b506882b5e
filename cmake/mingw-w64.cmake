# Cross-compiling for Windows with Debian's MinGW-w64; included by the toolchain file of each
# processor, which sets VANTREL_MINGW_TRIPLE. The POSIX thread flavour of the compilers is
# preferred, as std::thread needs it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VANTREL_MINGW_PROCESSOR})

find_program(CMAKE_CXX_COMPILER NAMES ${VANTREL_MINGW_TRIPLE}-g++-posix ${VANTREL_MINGW_TRIPLE}-g++ REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${VANTREL_MINGW_TRIPLE}-gcc-posix ${VANTREL_MINGW_TRIPLE}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${VANTREL_MINGW_TRIPLE}-windres)

# Libraries and headers come from the cross root (and Qt for Windows, where CMAKE_PREFIX_PATH
# names it); programs are the build machine's own.
set(CMAKE_FIND_ROOT_PATH /usr/${VANTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
