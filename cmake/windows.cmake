# Windows build (MinGW-w64, or Visual Studio on Windows): the menu, the stub
# setup program, the benchmark and the e2e tests.
enable_language(RC)

set(win_defs UNICODE _UNICODE NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)
target_compile_definitions(forms_core PUBLIC ${win_defs})

# Fully static: the executable imports system DLLs only. Hardening flags are
# stated even where the linker's default already sets them.
if(MSVC)
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
  set(unicode_entry)  # the linker finds wWinMain and wmain by itself
  set(hardening_link /NXCOMPAT /GUARD:CF /MANIFEST:NO)  # the resource script carries the manifest
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(aslr_link /DYNAMICBASE /HIGHENTROPYVA)
    set(no_aslr_link /DYNAMICBASE:NO /HIGHENTROPYVA:NO)
  else()
    set(aslr_link /DYNAMICBASE)
    set(no_aslr_link /DYNAMICBASE:NO)
  endif()
  add_compile_options(/GS /guard:cf /Gy /Gw)
  add_link_options(/OPT:REF /OPT:ICF)
else()
  set(unicode_entry -municode)
  set(hardening_link -Wl,--nxcompat)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(aslr_link -Wl,--dynamicbase -Wl,--high-entropy-va)
    set(no_aslr_link -Wl,--disable-dynamicbase -Wl,--disable-high-entropy-va)
  else()
    set(aslr_link -Wl,--dynamicbase)
    set(no_aslr_link -Wl,--disable-dynamicbase)
  endif()
  add_compile_options(-fstack-protector-strong -ffunction-sections -fdata-sections)
  add_link_options(-static -fstack-protector-strong -s -Wl,--gc-sections)
endif()

set(menu_sources
  src/app/main.cpp
  src/forms/win32/accessible.cpp
  src/forms/win32/form_window.cpp
  src/forms/win32/system.cpp
  src/resources/velbrook.rc)
set(menu_libs menu_logic user32 gdi32 shell32 advapi32 kernel32)

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

# The menu with its way of starting programs: the real one unless a test
# variant names its own.
function(add_menu target)
  cmake_parse_arguments(PARSE_ARGV 1 menu "" "SHELL" "")
  if(NOT menu_SHELL)
    set(menu_SHELL src/forms/win32/shell_start.cpp)
  endif()
  add_executable(${target} WIN32 ${menu_sources} ${menu_SHELL})
  target_link_libraries(${target} PRIVATE ${menu_libs})
  target_link_options(${target} PRIVATE ${unicode_entry} ${hardening_link} ${menu_UNPARSED_ARGUMENTS})
  set_source_files_properties(src/resources/velbrook.rc PROPERTIES OBJECT_DEPENDS "${rc_embedded}")
  target_include_directories(${target} PRIVATE src src/resources ${CMAKE_BINARY_DIR}/generated)
endfunction()

add_menu(Velbrook ${aslr_link})
# Negative controls for the e2e tests: the same program without ASLR, and
# without the restricted DLL search. Neither is shipped.
add_menu(Velbrook_noaslr ${no_aslr_link})
add_menu(Velbrook_nosearch ${aslr_link})
target_compile_definitions(Velbrook_nosearch PRIVATE VELBROOK_CONTROL_WITHOUT_DLL_SEARCH_RESTRICTION)
# For the e2e tests too: its first start is an elevation prompt the user declines.
add_menu(Velbrook_declined ${aslr_link} SHELL tests/e2e/declining_shell.cpp)

# The benchmark build: the menu with paint timing hooks, the bare window it
# is measured against (same flags), and the runner that times both.
add_menu(Velbrook_bench ${aslr_link})
target_sources(Velbrook_bench PRIVATE src/forms/win32/bench_hook.cpp)
target_compile_definitions(Velbrook_bench PRIVATE VELBROOK_BENCH)
add_executable(bare_window WIN32 tools/bench/bare_window.cpp src/forms/win32/bench_hook.cpp)
target_compile_definitions(bare_window PRIVATE ${win_defs} VELBROOK_BENCH)
target_include_directories(bare_window PRIVATE src)
target_link_libraries(bare_window PRIVATE user32 gdi32 kernel32)
target_link_options(bare_window PRIVATE ${unicode_entry} ${hardening_link} ${aslr_link})
add_executable(bench_runner tools/bench/bench_runner.cpp)
target_link_libraries(bench_runner PRIVATE menu_logic user32 gdi32 kernel32)
target_link_options(bench_runner PRIVATE ${unicode_entry})

add_library(planted SHARED tests/e2e/planted_dll.cpp)
set_target_properties(planted PROPERTIES PREFIX "")
target_compile_definitions(planted PRIVATE ${win_defs})

add_executable(stub_setup WIN32 tools/stub_setup/stub_setup.cpp)
set_target_properties(stub_setup PROPERTIES OUTPUT_NAME Setup)
target_compile_definitions(stub_setup PRIVATE ${win_defs})
target_link_options(stub_setup PRIVATE ${unicode_entry})

add_executable(probe tests/e2e/probe.cpp)
target_compile_definitions(probe PRIVATE ${win_defs})
target_link_options(probe PRIVATE ${unicode_entry})
target_link_libraries(probe PRIVATE oleacc ole32 oleaut32 uuid)

# The installation medium. `medium` stages it with the setups from
# VELBROOK_SETUPS (a folder holding the language folders, each with its
# Setup.exe), or with the stub setups as a demo when that is empty, and writes
# the ISO image and the release zip to <build>/release. `demo_medium` stages
# the demo alone in <build>/medium for a quick look at the menu.
find_program(PYTHON3 NAMES python3 REQUIRED)
set(VELBROOK_SETUPS "" CACHE PATH "Folder with TradChin_link, SimpChin_link, English_link (and Japanese_link), each holding its Setup.exe")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(release_arch win64)
else()
  set(release_arch win32)
endif()
set(make_medium ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/medium/make_medium.py --menu $<TARGET_FILE:Velbrook>
    --version ${VELBROOK_VERSION_TEXT} --arch ${release_arch})
if(VELBROOK_SETUPS)
  set(setups_source --setups ${VELBROOK_SETUPS})
else()
  set(setups_source --stub $<TARGET_FILE:stub_setup>)
endif()
add_custom_target(demo_medium ALL
  COMMAND ${make_medium} --stub $<TARGET_FILE:stub_setup> --out ${CMAKE_BINARY_DIR} --staged-name medium
  DEPENDS Velbrook stub_setup tools/medium/make_medium.py
  COMMENT "Staging the demo medium in ${CMAKE_BINARY_DIR}/medium")
# Writing the image needs xorriso (Debian's package; on Windows, from MSYS2).
find_program(XORRISO xorriso)
if(XORRISO)
  set(medium_in_all ALL)
endif()
add_custom_target(medium ${medium_in_all}
  COMMAND ${make_medium} ${setups_source} --out ${CMAKE_BINARY_DIR}/release --iso --zip
  DEPENDS Velbrook stub_setup tools/medium/make_medium.py
  COMMENT "Staging the medium, its ISO image and the release zip in ${CMAKE_BINARY_DIR}/release")

# The end-to-end tests run the programs under Wine on a virtual X server.
if(NOT CMAKE_HOST_WIN32)
  include(${CMAKE_SOURCE_DIR}/tests/e2e/e2e.cmake)
endif()
