# The language level, warnings and sanitizers of every Tobrin build: the main one, and the fuzz
# build (fuzz/CMakeLists.txt), which turns TOBRIN_WERROR and TOBRIN_SANITIZE on before it
# includes this.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
set(CMAKE_EXPORT_COMPILE_COMMANDS ON)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()

option(TOBRIN_WERROR "Treat compiler warnings as errors" OFF)
option(TOBRIN_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)

add_compile_options(-Wall -Wextra -Wpedantic)
if(TOBRIN_WERROR)
  add_compile_options(-Werror)
endif()
if(TOBRIN_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                      -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()
