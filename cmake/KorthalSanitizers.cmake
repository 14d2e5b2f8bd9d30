# Sanitizer and fuzzing builds. Both are off by default and live in build
# folders of their own (scripts/test --sanitize uses build-asan/, scripts/fuzz
# build-fuzz/).
#
#   KORTHAL_SANITIZE  every target with AddressSanitizer and
#                     UndefinedBehaviorSanitizer; the first report ends the
#                     program with an error, so a test that meets one fails.
#   KORTHAL_FUZZ      the fuzz targets of fuzz/ with clang's libFuzzer; implies
#                     KORTHAL_SANITIZE and needs clang.

option(KORTHAL_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
option(KORTHAL_FUZZ "Build the fuzz targets (clang's libFuzzer, with the sanitizers)" OFF)

if(KORTHAL_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "KORTHAL_FUZZ needs clang (configure with -DCMAKE_CXX_COMPILER=clang++)")
  endif()
  set(KORTHAL_SANITIZE ON)
endif()

if(KORTHAL_SANITIZE)
  set(_korthal_san -fsanitize=address,undefined)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # clang counts this check among "undefined", gcc does not.
    list(APPEND _korthal_san -fsanitize=float-cast-overflow)
  endif()
  add_compile_options(${_korthal_san} -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(${_korthal_san})
  if(KORTHAL_FUZZ)
    # Coverage for the fuzzer in every library; the fuzz targets link the
    # fuzzer's own main (fuzz/CMakeLists.txt).
    add_compile_options(-fsanitize=fuzzer-no-link)
  endif()
endif()

# Built into every executable of a sanitizer build: the run-time defaults
# (cmake/SanitizerDefaults.cpp), so that ctest, scripts and a developer's
# shell all run the programs the same way without setting variables.
function(korthal_sanitizer_defaults dir)
  if(NOT KORTHAL_SANITIZE)
    return()
  endif()
  get_property(_targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(_t ${_targets})
    get_target_property(_type ${_t} TYPE)
    if(_type STREQUAL "EXECUTABLE")
      target_sources(${_t} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/SanitizerDefaults.cpp)
    endif()
  endforeach()
  get_property(_subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(_d ${_subdirs})
    korthal_sanitizer_defaults(${_d})
  endforeach()
endfunction()
