# End-to-end tests: the real executable under Wine on Xvfb. They share the
# build folder's Wine prefix, so they run one at a time.
set(VELBROOK_WINEARCH "win32" CACHE STRING "Wine architecture of the test prefix")

set(e2e_env
  "VELBROOK_EXE=$<TARGET_FILE:Velbrook>"
  "VELBROOK_NOASLR_EXE=$<TARGET_FILE:Velbrook_noaslr>"
  "VELBROOK_NOSEARCH_EXE=$<TARGET_FILE:Velbrook_nosearch>"
  "VELBROOK_DECLINED_EXE=$<TARGET_FILE:Velbrook_declined>"
  "VELBROOK_BENCH_EXE=$<TARGET_FILE:Velbrook_bench>"
  "VELBROOK_PLANTED_DLL=$<TARGET_FILE:planted>"
  "VELBROOK_STUB=$<TARGET_FILE:stub_setup>"
  "VELBROOK_PROBE=$<TARGET_FILE:probe>"
  "VELBROOK_WINEARCH=${VELBROOK_WINEARCH}"
  "VELBROOK_PREFIX=${CMAKE_BINARY_DIR}/wineprefix"
  "VELBROOK_ARTIFACTS=${CMAKE_BINARY_DIR}/e2e-artifacts"
  "VELBROOK_WORK=${CMAKE_BINARY_DIR}/e2e-work"
  "VELBROOK_BUILD=${CMAKE_BINARY_DIR}"
  "VELBROOK_GENERATOR=${CMAKE_GENERATOR}"
  "VELBROOK_NINJA=${CMAKE_MAKE_PROGRAM}"
  "VELBROOK_MAKE_MEDIUM=${CMAKE_SOURCE_DIR}/tools/medium/make_medium.py"
  "VELBROOK_RELEASE=${CMAKE_BINARY_DIR}/release"
  "VELBROOK_RELEASE_ARCH=${release_arch}"
  "VELBROOK_VERSION=${VELBROOK_VERSION_TEXT}")

enable_testing()
foreach(module binary window launch instance living faults planted load medium dpi accessible keyboard)
  add_test(NAME e2e_${module}
    COMMAND ${PYTHON3} -m unittest -v test_${module}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
  set_tests_properties(e2e_${module} PROPERTIES
    ENVIRONMENT "${e2e_env}"
    RESOURCE_LOCK wineprefix
    TIMEOUT 900)
endforeach()

# The benchmarks: `cmake --build --preset <p> --target benchmark` runs them and
# writes benchmark.json in the build folder. The test only checks that one
# short run yields every figure; it times nothing.
set(benchmark_deps Velbrook Velbrook_bench bare_window bench_runner)
add_custom_target(benchmark
  COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/bench/benchmark.py ${CMAKE_BINARY_DIR} 20
  DEPENDS ${benchmark_deps}
  USES_TERMINAL)
add_test(NAME benchmark_runs
  COMMAND ${PYTHON3} ${CMAKE_SOURCE_DIR}/tools/bench/benchmark.py ${CMAKE_BINARY_DIR} 1
          ${CMAKE_BINARY_DIR}/benchmark-smoke.json)
set_tests_properties(benchmark_runs PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 600
  PASS_REGULAR_EXPRESSION "Start-up ratio" SKIP_REGULAR_EXPRESSION "Benchmark skipped")
