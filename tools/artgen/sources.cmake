# The art generator's sources, for the host build and for the Windows builds
# (which compile it for the build machine): one list, so the two cannot drift.
set(artgen_sources
  tools/artgen/main.cpp
  tools/artgen/art_list.cpp
  tools/artgen/contact_sheet.cpp
  tools/artgen/cursor.cpp
  tools/artgen/drawn.cpp
  tools/artgen/faces.cpp
  tools/artgen/flags.cpp
  tools/artgen/given.cpp
  tools/artgen/image.cpp
  tools/artgen/png.cpp
  tools/artgen/scaled_set.cpp
  tools/artgen/shapes.cpp
  tools/artgen/shaping.cpp
  tools/artgen/text.cpp
  tools/artgen/utf8.cpp
  # The menu's layout: each picture is drawn for a scale at its control's size there.
  src/chooser/layout.cpp
  src/forms/errors.cpp
  src/forms/form.cpp
  src/forms/geometry.cpp)

# The libraries it draws text with, as pkg-config names them: FreeType, HarfBuzz
# (shaping, with its FreeType functions) and FriBidi (the order of mixed directions).
set(artgen_packages freetype2 harfbuzz fribidi zlib)
