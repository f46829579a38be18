# Cross-building Tobrin for 64-bit Windows on Debian, with mingw-w64 (posix threads, so that
# std::thread works) against the static wxMSW that scripts/windows-wx builds. TOBRIN_WX_PREFIX
# names that build's install folder, TOBRIN_PNG_PREFIX that of the static libpng that
# scripts/windows-png builds for the test programs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Read again by try_compile projects, which see only the environment and these variables.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TOBRIN_WX_PREFIX TOBRIN_PNG_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32 ${TOBRIN_WX_PREFIX} ${TOBRIN_PNG_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# One self-contained executable: the C and C++ runtimes and winpthreads linked in, so that
# nothing but Windows' own DLLs is needed beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
