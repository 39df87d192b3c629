# The benchmark: the menu with its timing hooks, the bare window it is
# measured against (built with the same flags and frame), and the runner that
# times both. `cmake --build --preset <p> --target benchmark` runs it and
# writes benchmark.json in the build folder.
add_menu(menu_bench ${aslr_link} BENCH src/forms/win32/bench_hook.cpp)
add_executable(bare_window WIN32 tools/bench/bare_window.cpp src/forms/win32/bench_hook.cpp)
target_compile_definitions(bare_window PRIVATE ${win_defs})
target_include_directories(bare_window PRIVATE src)
target_link_libraries(bare_window PRIVATE user32 gdi32 kernel32)
target_link_options(bare_window PRIVATE ${unicode_entry} ${hardening_link} ${aslr_link})
add_executable(bench_runner tools/bench/bench_runner.cpp)
target_link_libraries(bench_runner PRIVATE menu_logic forms_win32)
target_link_options(bench_runner PRIVATE ${unicode_entry})

add_custom_target(benchmark
  COMMAND ${MENUBUILD} -m menubuild.benchmark ${CMAKE_BINARY_DIR} 20
  DEPENDS menu menu_bench bare_window bench_runner
  USES_TERMINAL)
