# The shipped menu for Windows (MinGW-w64, or Visual Studio on Windows): the
# Win32 layer as a library, and the menu built on it. The build-time tools,
# the benchmark and the test-only programs have files of their own, included
# at the end.
enable_language(RC)

set(win_defs UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# The Win32 layer of the forms run-time: the same for the menu and all its variants.
add_library(forms_win32 STATIC
  src/forms/win32/accessible.cpp
  src/forms/win32/form_accessible.cpp
  src/forms/win32/form_input.cpp
  src/forms/win32/form_runtime.cpp
  src/forms/win32/form_window.cpp
  src/forms/win32/painter.cpp
  src/forms/win32/system.cpp)
target_compile_definitions(forms_win32 PUBLIC ${win_defs})
target_link_libraries(forms_win32 PUBLIC forms_core user32 gdi32 shell32 advapi32 kernel32)

# Every file the resource script embeds (the quoted names ending in a file
# type), so that a redrawn picture is embedded again; the script itself is
# read again when it changes.
set(rc_script ${CMAKE_SOURCE_DIR}/src/resources/velbrook.rc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${rc_script})
file(STRINGS ${rc_script} rc_lines REGEX "\"[^\"]+\\.(bmp|cur|ico|icon|group|manifest)\"")
set(rc_embedded)
foreach(line IN LISTS rc_lines)
  string(REGEX MATCH "\"([^\"]+)\"" _ "${line}")
  list(APPEND rc_embedded ${CMAKE_SOURCE_DIR}/src/resources/${CMAKE_MATCH_1})
endforeach()
set_source_files_properties(src/resources/velbrook.rc PROPERTIES OBJECT_DEPENDS "${rc_embedded}")

# The menu, or a variant of it. Only the few files that differ per variant are
# compiled per variant: the entry point, the resources, the way programs are
# started (SHELL) and the timing hooks (BENCH).
function(add_menu target)
  cmake_parse_arguments(PARSE_ARGV 1 menu "" "SHELL;BENCH" "")
  if(NOT menu_SHELL)
    set(menu_SHELL src/forms/win32/shell_start.cpp)
  endif()
  if(NOT menu_BENCH)
    set(menu_BENCH src/forms/win32/bench_none.cpp)
  endif()
  add_executable(${target} WIN32 src/app/main.cpp src/resources/velbrook.rc ${menu_SHELL} ${menu_BENCH})
  target_link_libraries(${target} PRIVATE menu_logic forms_win32)
  target_link_options(${target} PRIVATE ${unicode_entry} ${hardening_link} ${menu_UNPARSED_ARGUMENTS})
  target_include_directories(${target} PRIVATE src src/resources ${CMAKE_BINARY_DIR}/generated)
endfunction()

add_menu(Velbrook ${aslr_link})

include(tools/medium/medium.cmake)
include(tools/bench/bench.cmake)
# The end-to-end tests run the programs under Wine on a virtual X server.
if(NOT CMAKE_HOST_WIN32)
  include(tests/e2e/e2e.cmake)
endif()
