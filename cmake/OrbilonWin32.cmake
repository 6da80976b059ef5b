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

# orbilon_windows_resources(TARGET FILE DESCRIPTION): the resources Windows shows of a program
# named FILE: string 1 (the saver's name), the version from the project's, the icon and the
# manifest of data/win32/, the copyright from LICENSE.
function(orbilon_windows_resources target file description)
  set(ORBILON_RC_FILE ${file})
  set(ORBILON_RC_DESCRIPTION ${description})
  set(ORBILON_RC_DATA ${PROJECT_SOURCE_DIR}/data/win32)
  file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE ORBILON_RC_COPYRIGHT REGEX "^Copyright" LIMIT_COUNT 1)
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_program.rc)
  configure_file(${ORBILON_RC_DATA}/program.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS
                              "${ORBILON_RC_DATA}/Orbilon.ico;${ORBILON_RC_DATA}/orbilon.manifest")
endfunction()
