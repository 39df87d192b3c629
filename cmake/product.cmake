# The product the menu is made for: a folder with its description
# (product.toml) and its own pictures. The description is read and checked
# here, at configure time, so that a bad one stops the build before anything
# is written; menubuild.product.configure then writes what the build makes the
# menu from into generated/product/, and product.cmake with the names below.
set(VELBROOK_PRODUCT "products/velbrook" CACHE STRING "The product folder: from the sources, or absolute")
get_filename_component(product_folder "${VELBROOK_PRODUCT}" ABSOLUTE BASE_DIR "${CMAKE_SOURCE_DIR}")

# The fonts the pictures' words are drawn and measured in (Debian's packages):
# each script's, as src/resources/scripts.toml names it in this folder, and the
# one Windows' texts are measured in. The texts Windows draws are judged by
# FreeType (libfreetype.so.6) at configure time; the faces' words by the art
# generator, which draws them.
set(VELBROOK_FONT_FOLDER /usr/share/fonts/truetype
    CACHE PATH "The folder of the fonts src/resources/scripts.toml names")
set(VELBROOK_HEADING_FONT /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
    CACHE FILEPATH "The font the caption and the heading are measured in")

# The Python every script of the build and its tests runs with: the one CMake finds
# (3.11 or later, for tomllib), by its own file rather than a launcher or a version
# manager's shim, so that neither PATH nor the folder at build time picks another.
# -DPython3_EXECUTABLE=... chooses it.
find_package(Python3 3.11 REQUIRED COMPONENTS Interpreter)
execute_process(COMMAND ${Python3_EXECUTABLE} -c "import sys; print(sys.executable)"
                OUTPUT_VARIABLE PYTHON3 OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT PYTHON3)
  set(PYTHON3 ${Python3_EXECUTABLE})
endif()
# The build tools are one package, menubuild, under tools/: every script of the
# build and every Python test runs through MENUBUILD, the Python above with that
# one import root (`${MENUBUILD} -m menubuild.<module>`), set here alone.
set(MENUBUILD ${CMAKE_COMMAND} -E env PYTHONPATH=${CMAKE_SOURCE_DIR}/tools ${PYTHON3})
file(GLOB product_tools CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tools/menubuild/*.py
     ${CMAKE_SOURCE_DIR}/tools/menubuild/product/*.py)
set(VELBROOK_GENERATED ${CMAKE_BINARY_DIR}/generated/product)
# The description's path quoted: a ';' in it reaches the reader, which names it.
execute_process(
  COMMAND ${MENUBUILD} -m menubuild.product.configure "${product_folder}/product.toml"
          --out ${VELBROOK_GENERATED} --templates ${CMAKE_SOURCE_DIR}/src/resources
          --font-folder ${VELBROOK_FONT_FOLDER} --heading-font ${VELBROOK_HEADING_FONT}
  RESULT_VARIABLE product_refused
  ERROR_VARIABLE product_message)
if(product_refused)
  message(FATAL_ERROR "${product_message}")
elseif(product_message)
  message(WARNING "${product_message}")  # accepted, but likely not what was meant
endif()
include(${VELBROOK_GENERATED}/product.cmake)
message(STATUS "The product: ${product_folder} (${VELBROOK_EXECUTABLE_NAME}.exe, version ${VELBROOK_VERSION_TEXT})")
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${VELBROOK_PRODUCT_INPUTS} ${product_tools} ${CMAKE_SOURCE_DIR}/src/resources/design.toml ${CMAKE_SOURCE_DIR}/src/resources/scripts.toml
  ${CMAKE_SOURCE_DIR}/src/resources/menu.rc.in ${CMAKE_SOURCE_DIR}/src/resources/menu.manifest.in)

# The pictures, drawn or copied by the art generator as art.list says; `artgen`
# names the generator to run (a target of this build, or a program built beside
# it), which reads the design facts from design.h.
set(VELBROOK_ART ${VELBROOK_GENERATED}/art)
list(TRANSFORM VELBROOK_ART_FILES PREPEND ${VELBROOK_ART}/ OUTPUT_VARIABLE VELBROOK_ART_OUTPUTS)
# Every picture again for each other scale, as art/<dpi>/<name>.png, and the
# script that embeds them (the scales, VELBROOK_ART_DPIS, are design.toml's drawn_dpis).
list(APPEND VELBROOK_ART_OUTPUTS ${VELBROOK_ART}/scaled.rc)
foreach(file IN LISTS VELBROOK_ART_FILES)
  if(file MATCHES "^(.*)\\.bmp$")
    foreach(dpi IN LISTS VELBROOK_ART_DPIS)
      list(APPEND VELBROOK_ART_OUTPUTS ${VELBROOK_ART}/${dpi}/${CMAKE_MATCH_1}.png)
    endforeach()
  endif()
endforeach()
function(add_product_art artgen)
  if(TARGET ${artgen})  # built by this build: it reads the menu's layout
    target_include_directories(${artgen} PRIVATE ${CMAKE_SOURCE_DIR}/src ${VELBROOK_GENERATED})
  endif()
  add_custom_command(OUTPUT ${VELBROOK_ART_OUTPUTS}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VELBROOK_ART}
    COMMAND ${artgen} ${VELBROOK_GENERATED}/art.list ${VELBROOK_ART} ${CMAKE_BINARY_DIR}/contact-sheet.png
    DEPENDS ${artgen} ${VELBROOK_GENERATED}/art.list ${VELBROOK_PRODUCT_INPUTS} ${VELBROOK_FONTS}
    COMMENT "Drawing the product's pictures into ${VELBROOK_ART} for every scale, and the contact sheet")
  add_custom_target(art ALL DEPENDS ${VELBROOK_ART_OUTPUTS})
endfunction()
