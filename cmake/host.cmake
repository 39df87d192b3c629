# Host build: the build-time tools and the unit tests of the platform-neutral code.
include(tools/artgen/sources.cmake)
find_package(PkgConfig REQUIRED)
pkg_check_modules(artgen_libraries REQUIRED IMPORTED_TARGET ${artgen_packages})
add_executable(artgen ${artgen_sources})
target_link_libraries(artgen PRIVATE PkgConfig::artgen_libraries)

add_product_art(artgen)  # the unit tests check the configured product's pictures

find_package(GTest REQUIRED)
include(GoogleTest)
enable_testing()
add_executable(unit_tests
  tests/unit/fake_runtime.cpp
  tests/unit/form_test.cpp
  tests/unit/layout_test.cpp
  tests/unit/load_test.cpp
  tests/unit/press_test.cpp
  tests/unit/run_setup_test.cpp
  tests/unit/os_caption_test.cpp
  tests/unit/errors_test.cpp
  tests/unit/hover_paint_test.cpp
  tests/unit/art_test.cpp
  tests/unit/scaling_test.cpp
  tests/unit/accessibility_test.cpp
  tests/unit/keyboard_test.cpp
  tests/unit/density_test.cpp
  tests/unit/artgen_test.cpp
  tests/unit/png_reader_test.cpp
  tools/artgen/faces.cpp
  tools/artgen/flags.cpp
  tools/artgen/given.cpp
  tools/artgen/image.cpp
  tools/artgen/png.cpp
  tools/artgen/shapes.cpp
  tools/artgen/shaping.cpp
  tools/artgen/text.cpp
  tools/artgen/utf8.cpp)
target_include_directories(unit_tests PRIVATE tests/unit tools)
# The tests take the product's facts from product.h; only the default product's
# pictures are known to them byte for byte, so they learn whether it is the one.
get_filename_component(configured_product "${VELBROOK_PRODUCT}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")
file(REAL_PATH "${configured_product}" configured_product)
file(REAL_PATH "${CMAKE_SOURCE_DIR}/products/velbrook" default_product)
string(COMPARE EQUAL "${configured_product}" "${default_product}" is_default_product)
get_filename_component(configured_product_name "${configured_product}" NAME)
string(REGEX REPLACE "[^A-Za-z0-9_. -]" "_" configured_product_name "${configured_product_name}")  # a C string
target_compile_definitions(unit_tests PRIVATE VELBROOK_ART_DIR="${VELBROOK_ART}" VELBROOK_FONT_FOLDER="${VELBROOK_FONT_FOLDER}"
  VELBROOK_SCRIPTS_TABLE="${CMAKE_SOURCE_DIR}/src/resources/scripts.toml"
  VELBROOK_DEFAULT_PRODUCT=$<BOOL:${is_default_product}> VELBROOK_PRODUCT_NAME="${configured_product_name}")
add_dependencies(unit_tests art)
target_link_libraries(unit_tests PRIVATE menu_logic GTest::gtest GTest::gtest_main PkgConfig::artgen_libraries)
gtest_discover_tests(unit_tests)

# Bad product descriptions are refused before anything is written; a good one's
# pictures are drawn by this build's art generator.
add_test(NAME product_descriptions
  COMMAND ${MENUBUILD} -m unittest -v test_product
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/product)
set_tests_properties(product_descriptions PROPERTIES ENVIRONMENT "VELBROOK_ARTGEN=$<TARGET_FILE:artgen>")

# What the art generator draws from the lines of an art list: the faces' words
# inside their room at every scale, the maker's logo in its box, and the lines it refuses.
add_test(NAME artgen_pictures
  COMMAND ${MENUBUILD} -m unittest -v test_artgen
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/artgen)
set_tests_properties(artgen_pictures PROPERTIES ENVIRONMENT "VELBROOK_ARTGEN=$<TARGET_FILE:artgen>")

# The release's tools where they need no cross build: the one date, and how
# the signing password reaches the signing tools.
add_test(NAME medium_tools
  COMMAND ${MENUBUILD} -m unittest -v test_medium_tools
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/medium)

# How ctest counts a module of end-to-end cases: every case skipped is a skip.
add_test(NAME e2e_runner
  COMMAND ${MENUBUILD} -m unittest -v test_run_cases
  WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/tests/e2e)
