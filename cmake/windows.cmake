# The shipped menu for Windows (MinGW-w64, or Visual Studio on Windows): the
# Win32 layer as a library, and the menu built on it. The build-time tools,
# the benchmark and the test-only programs have files of their own, included
# at the end.
enable_language(RC)

set(win_defs UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

# The Win32 layer of the forms run-time: the same for the menu and all its variants.
add_library(forms_win32 STATIC
  src/forms/win32/com_apartment.cpp
  src/forms/win32/dll_search.cpp
  src/forms/win32/error_box.cpp
  src/forms/win32/form_input.cpp
  src/forms/win32/form_runtime.cpp
  src/forms/win32/form_screen_reader.cpp
  src/forms/win32/form_site.cpp
  src/forms/win32/form_window.cpp
  src/forms/win32/instance_mutex.cpp
  src/forms/win32/module_path.cpp
  src/forms/win32/msaa_object.cpp
  src/forms/win32/painter.cpp
  src/forms/win32/program_start.cpp
  src/forms/win32/scaled_picture.cpp
  src/forms/win32/system_api.cpp)
target_compile_definitions(forms_win32 PUBLIC ${win_defs})
target_link_libraries(forms_win32 PUBLIC forms_core user32 gdi32 shell32 advapi32 kernel32)

# The pictures, drawn on the build machine by the art generator: built for it
# beside a cross build, or as a program of this build on Windows itself.
include(tools/artgen/sources.cmake)
include(cmake/host_tools.cmake)
if(CMAKE_CROSSCOMPILING)
  add_host_tool(artgen_host artgen ${artgen_sources} PACKAGES ${artgen_packages})
  add_product_art(${artgen_host})
else()
  # Visual Studio: pkg-config finds the libraries where vcpkg installed them (see docs/maintainer.md).
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(artgen_libraries REQUIRED IMPORTED_TARGET ${artgen_packages})
  add_executable(artgen ${artgen_sources})
  target_link_libraries(artgen PRIVATE PkgConfig::artgen_libraries)
  add_product_art(artgen)
endif()

# The resource script embeds the pictures and the manifest: the menu is linked
# again when one of them changes.
set(rc_script ${VELBROOK_GENERATED}/menu.rc)
set_source_files_properties(${rc_script} PROPERTIES OBJECT_DEPENDS
  "${VELBROOK_ART_OUTPUTS};${VELBROOK_GENERATED}/menu.manifest")

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
  add_executable(${target} WIN32 src/app/main.cpp ${rc_script} ${menu_SHELL} ${menu_BENCH})
  add_dependencies(${target} art)
  target_link_libraries(${target} PRIVATE menu_logic forms_win32)
  target_link_options(${target} PRIVATE ${unicode_entry} ${hardening_link} ${menu_UNPARSED_ARGUMENTS})
  target_include_directories(${target} PRIVATE src src/resources ${VELBROOK_GENERATED})
endfunction()

# The menu the medium carries, named as the product's description says.
add_menu(menu ${aslr_link})
set_target_properties(menu PROPERTIES OUTPUT_NAME ${VELBROOK_EXECUTABLE_NAME})

include(tests/win32/win32_tests.cmake)
include(cmake/medium.cmake)
include(tools/bench/bench.cmake)
# The end-to-end tests run the programs under Wine on a virtual X server.
if(NOT CMAKE_HOST_WIN32)
  include(tests/e2e/e2e.cmake)
endif()
