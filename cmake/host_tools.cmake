# Programs the build runs on the build machine while it makes Windows programs:
# compiled with the build machine's own C++ compiler, since a cross build's
# compiler makes programs only for Windows.
find_program(HOST_CXX NAMES c++ g++ clang++ NO_CMAKE_FIND_ROOT_PATH)
find_program(HOST_PKG_CONFIG NAMES pkg-config NO_CMAKE_FIND_ROOT_PATH)

# add_host_tool(<variable> <name> <sources...> [PACKAGES <pkg-config packages...>]):
# builds <name> in the build folder and sets <variable> to its path.
function(add_host_tool variable name)
  cmake_parse_arguments(PARSE_ARGV 2 tool "" "" "PACKAGES")
  if(NOT HOST_CXX)
    message(FATAL_ERROR "a C++ compiler for this machine is needed to build ${name}")
  endif()
  set(flags)
  if(tool_PACKAGES)
    if(NOT HOST_PKG_CONFIG)
      message(FATAL_ERROR "pkg-config is needed to build ${name} for this machine")
    endif()
    execute_process(COMMAND ${HOST_PKG_CONFIG} --cflags --libs ${tool_PACKAGES}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE failed)
    if(failed)
      message(FATAL_ERROR "pkg-config found no ${tool_PACKAGES} for this machine: ${name} cannot be built")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
  endif()
  list(TRANSFORM tool_UNPARSED_ARGUMENTS PREPEND ${CMAKE_SOURCE_DIR}/ OUTPUT_VARIABLE sources)
  set(program ${CMAKE_BINARY_DIR}/host-tools/${name})
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*.h ${CMAKE_SOURCE_DIR}/tools/${name}/*.h)
  add_custom_command(OUTPUT ${program}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host-tools
    COMMAND ${HOST_CXX} -std=c++20 -O2 -I${CMAKE_SOURCE_DIR}/src -I${VELBROOK_GENERATED} ${sources} ${flags}
            -o ${program}
    DEPENDS ${sources} ${headers} ${VELBROOK_GENERATED}/product.h ${VELBROOK_GENERATED}/design.h
    COMMENT "Building ${name} for the build machine")
  set(${variable} ${program} PARENT_SCOPE)
endfunction()
