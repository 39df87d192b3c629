# The Win32 layer's own tests: GoogleTest built for Windows from Debian's
# googletest sources, with the product's resources (the window's icon). Under
# Wine they run as e2e_win32_layer; on Windows ctest runs them directly.
set(VELBROOK_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest's sources, built for Windows")
if(NOT EXISTS ${VELBROOK_GTEST_SOURCE}/CMakeLists.txt)
  message(STATUS "No GoogleTest sources in ${VELBROOK_GTEST_SOURCE}: the Win32 layer's tests are not built")
  return()
endif()
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(${VELBROOK_GTEST_SOURCE} googletest EXCLUDE_FROM_ALL)
# MinGW's win32 thread model has no std::mutex, which GoogleTest's thread hand-over uses.
target_include_directories(gtest BEFORE PUBLIC ${CMAKE_CURRENT_LIST_DIR}/gtest_port)

# The host's density tests too: the shipped build's x87 arithmetic must find the same pixels.
# The window test stands in the start of a program (ShellStart) itself.
add_executable(win32_tests tests/win32/helpers_test.cpp tests/win32/window_test.cpp tests/unit/density_test.cpp
               ${rc_script} tests/win32/refused_picture.rc src/forms/win32/bench_none.cpp)
add_dependencies(win32_tests art)
target_include_directories(win32_tests PRIVATE src src/resources tests/unit ${VELBROOK_GENERATED})
target_link_libraries(win32_tests PRIVATE menu_logic forms_win32 gtest gtest_main)
if(CMAKE_HOST_WIN32)
  add_test(NAME win32_layer COMMAND win32_tests)
endif()
