# A second compiler for the Windows build: Debian's clang with the MinGW-w64 target, on the
# headers and libraries of the MinGW-w64 GCC (posix thread model). Its warnings differ from
# GCC's, so the strict build catches more before MSVC sees the code.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(MINGW_GCC_DIR /usr/lib/gcc/x86_64-w64-mingw32/12-posix CACHE PATH "MinGW-w64 GCC's folder")
set(CMAKE_C_COMPILER clang-14)
set(CMAKE_CXX_COMPILER clang++-14)
set(CMAKE_C_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_CXX_COMPILER_TARGET x86_64-w64-mingw32)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_CXX_FLAGS_INIT
    "-Wno-unused-command-line-argument -nostdinc++ -isystem ${MINGW_GCC_DIR}/include/c++ -isystem ${MINGW_GCC_DIR}/include/c++/x86_64-w64-mingw32 -isystem ${MINGW_GCC_DIR}/include/c++/backward")
# -pthread: the run-time libraries of the posix thread model are linked after everything else.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-pthread -fuse-ld=/usr/bin/x86_64-w64-mingw32-ld -L${MINGW_GCC_DIR}")
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
