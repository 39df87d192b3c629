# The Windows build's compiler and linker flags. Included before any target is
# made: a target takes the directory's compile options and run-time library as
# it is created, so every library of the menu gets them, whatever the order.
#
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
