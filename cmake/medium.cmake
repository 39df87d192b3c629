# The installation medium and what it is made with: the stub setup of the demo
# medium and the tests, and the staging of the medium, its image and the zip.
add_executable(stub_setup WIN32 tools/stub_setup/stub_setup.cpp)
set_target_properties(stub_setup PROPERTIES OUTPUT_NAME Setup)
target_compile_definitions(stub_setup PRIVATE ${win_defs})
target_include_directories(stub_setup PRIVATE tools)
target_link_options(stub_setup PRIVATE ${unicode_entry})

# The installation medium. `medium` stages it with the setups from
# VELBROOK_SETUPS (a folder holding the product's language folders, each with
# its setup program), or with the stub setups as a demo when that is empty, and writes
# the ISO image and the release zip to <build>/release. `demo_medium` stages
# the demo alone in <build>/medium for a quick look at the menu.
# Staging reads product.json through the product's records, so their modules count too.
file(GLOB medium_scripts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/menubuild/medium/*.py)
list(APPEND medium_scripts ${product_tools})
set(VELBROOK_SETUPS "" CACHE PATH "Folder with the product's language folders, each holding its setup program")
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
  set(release_arch win64)
else()
  set(release_arch win32)
endif()
set(make_medium ${MENUBUILD} -m menubuild.medium.make_medium --product ${VELBROOK_GENERATED}/product.json
    --product-folder ${product_folder}
    --menu $<TARGET_FILE:menu> --arch ${release_arch})
include(${CMAKE_CURRENT_LIST_DIR}/signing.cmake)
if(VELBROOK_SETUPS)
  set(setups_source --setups ${VELBROOK_SETUPS})
else()
  set(setups_source --stub $<TARGET_FILE:stub_setup>)
endif()
add_custom_target(demo_medium ALL
  COMMAND ${make_medium} --stub $<TARGET_FILE:stub_setup> --out ${CMAKE_BINARY_DIR} --staged-name medium
  DEPENDS menu stub_setup ${medium_scripts} ${VELBROOK_GENERATED}/product.json
  COMMENT "Staging the demo medium in ${CMAKE_BINARY_DIR}/medium")
# Writing the image needs xorriso (Debian's package; on Windows, from MSYS2).
find_program(XORRISO xorriso)
if(XORRISO)
  set(medium_in_all ALL)
endif()
add_custom_target(medium ${medium_in_all}
  COMMAND ${make_medium} ${setups_source} ${signing} --out ${CMAKE_BINARY_DIR}/release --iso --zip
  DEPENDS menu stub_setup ${medium_scripts} ${VELBROOK_GENERATED}/product.json
  COMMENT "Staging the medium, its ISO image and the release zip in ${CMAKE_BINARY_DIR}/release")
