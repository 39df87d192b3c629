# End-to-end tests: the real executable under Wine on Xvfb. They share the
# build folder's Wine prefix, so they run one at a time.

# Test-only programs. Negative controls: the menu without ASLR, and without the
# restricted DLL search. A variant whose first start is an elevation prompt the
# user declines. A DLL planted beside the menu, and the probe that looks at
# windows from inside Wine. None is shipped.
add_menu(menu_noaslr ${no_aslr_link})
add_menu(menu_nosearch ${aslr_link})
target_compile_definitions(menu_nosearch PRIVATE VELBROOK_CONTROL_WITHOUT_DLL_SEARCH_RESTRICTION)
add_menu(menu_declined ${aslr_link} SHELL tests/e2e/declining_shell.cpp)
target_link_libraries(menu_declined PRIVATE ole32)
target_include_directories(menu_declined PRIVATE tools)

add_library(planted SHARED tests/e2e/planted_dll.cpp)
set_target_properties(planted PROPERTIES PREFIX "")
target_compile_definitions(planted PRIVATE ${win_defs})

add_executable(probe tests/e2e/probe.cpp)
target_compile_definitions(probe PRIVATE ${win_defs})
target_include_directories(probe PRIVATE tools)
target_link_options(probe PRIVATE ${unicode_entry})
target_link_libraries(probe PRIVATE oleacc ole32 oleaut32 uuid)

set(VELBROOK_WINEARCH "win32" CACHE STRING "Wine architecture of the test prefix")

# The layout in client pixels, written by a small program built for this machine.
set(layout_json ${CMAKE_BINARY_DIR}/layout.json)
add_host_tool(layout_dump layout_dump tools/layout_dump/layout_dump.cpp src/chooser/layout.cpp src/forms/form.cpp
              src/forms/geometry.cpp src/forms/errors.cpp)
add_custom_command(OUTPUT ${layout_json}
  COMMAND ${layout_dump} ${layout_json}
  DEPENDS ${layout_dump}
  COMMENT "Writing the layout for the end-to-end tests")
add_custom_target(layout_json ALL DEPENDS ${layout_json})

set(e2e_env
  "VELBROOK_LAYOUT=${layout_json}"
  "VELBROOK_EXE=$<TARGET_FILE:menu>"
  "VELBROOK_NOASLR_EXE=$<TARGET_FILE:menu_noaslr>"
  "VELBROOK_NOSEARCH_EXE=$<TARGET_FILE:menu_nosearch>"
  "VELBROOK_DECLINED_EXE=$<TARGET_FILE:menu_declined>"
  "VELBROOK_BENCH_EXE=$<TARGET_FILE:menu_bench>"
  "VELBROOK_PLANTED_DLL=$<TARGET_FILE:planted>"
  "VELBROOK_STUB=$<TARGET_FILE:stub_setup>"
  "VELBROOK_PROBE=$<TARGET_FILE:probe>"
  "VELBROOK_WIN32_TESTS=$<$<TARGET_EXISTS:win32_tests>:$<TARGET_FILE:win32_tests>>"
  "VELBROOK_WINEARCH=${VELBROOK_WINEARCH}"
  "VELBROOK_PREFIX=${CMAKE_BINARY_DIR}/wineprefix"
  "VELBROOK_ARTIFACTS=${CMAKE_BINARY_DIR}/e2e-artifacts"
  "VELBROOK_WORK=${CMAKE_BINARY_DIR}/e2e-work"
  "VELBROOK_BUILD=${CMAKE_BINARY_DIR}"
  "VELBROOK_GENERATOR=${CMAKE_GENERATOR}"
  "VELBROOK_NINJA=${CMAKE_MAKE_PROGRAM}"
  "VELBROOK_RELEASE=${CMAKE_BINARY_DIR}/release"
  "VELBROOK_RELEASE_ARCH=${release_arch}"
  "VELBROOK_RELEASE_SIGNED=$<BOOL:${VELBROOK_SIGN_PKCS12}>"
  "VELBROOK_VERSION=${VELBROOK_VERSION_TEXT}"
  "VELBROOK_PRODUCT_DIR=${product_folder}"
  "VELBROOK_PRODUCT_JSON=${VELBROOK_GENERATED}/product.json"
  "VELBROOK_ART=${VELBROOK_ART}"
  "VELBROOK_RC=${VELBROOK_GENERATED}/menu.rc")

enable_testing()
foreach(module binary window launch instance living faults planted load medium dpi accessible keyboard release product
               win32_layer)
  add_test(NAME e2e_${module}
    COMMAND ${MENUBUILD} run_cases.py test_${module}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  set_tests_properties(e2e_${module} PROPERTIES
    ENVIRONMENT "${e2e_env}"
    SKIP_RETURN_CODE 77
    RESOURCE_LOCK wineprefix
    TIMEOUT 900)
endforeach()

# The benchmark (tools/bench, run by menubuild.benchmark): the test only checks
# that one short run yields every figure; it times nothing.
add_test(NAME benchmark_runs
  COMMAND ${MENUBUILD} -m menubuild.benchmark ${CMAKE_BINARY_DIR} 1
          ${CMAKE_BINARY_DIR}/benchmark-smoke.json)
set_tests_properties(benchmark_runs PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 600
  PASS_REGULAR_EXPRESSION "Start-up ratio" SKIP_REGULAR_EXPRESSION "Benchmark skipped")
