# Strict warnings for every target of the project.
function(korthal_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wformat=2 -Werror=return-type
    # gcc warns here of float to double only; clang also of double to long
    # double (Extended), which this code does on purpose everywhere.
    $<$<CXX_COMPILER_ID:GNU>:-Wdouble-promotion>)
endfunction()

# A static library made of every .cpp of the current folder.
function(korthal_library name)
  file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT _src)
    # A subsystem with no sources yet still gives a library to link against.
    set(_src ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${_src} "namespace korthal {}\n")
  endif()
  add_library(${name} STATIC ${_src})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  korthal_warnings(${name})
endfunction()
