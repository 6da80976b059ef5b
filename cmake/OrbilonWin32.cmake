# The Windows cross build's GoogleTest: Debian ships no mingw build of it, so it is built here
# from the sources Debian installs with libgtest-dev (/usr/src/googletest).
set(ORBILON_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources for the Windows build")
if(NOT EXISTS ${ORBILON_GTEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources at ${ORBILON_GTEST_SOURCE} (Debian: libgtest-dev)")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${ORBILON_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
foreach(target gtest gtest_main gmock gmock_main)
  # Not our code: its warnings are not ours to fail on.
  target_compile_options(${target} PRIVATE -w)
  if(NOT TARGET GTest::${target})
    add_library(GTest::${target} ALIAS ${target})
  endif()
endforeach()

# M_PI and friends, which glibc offers by default.
add_compile_definitions(_USE_MATH_DEFINES)
