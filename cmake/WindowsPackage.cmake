# The Windows release in build-win/package/: the tested programs, stripped, with the README and
# the licence in Windows line ends, as a portable zip and an NSIS installer (data/win32/).
# Built with everything else where zip and makensis are found; `make windows-package`.
find_program(ORBILON_ZIP zip)
find_program(ORBILON_MAKENSIS makensis)
if(NOT ORBILON_ZIP OR NOT ORBILON_MAKENSIS)
  message(STATUS "No zip or makensis (Debian: zip, nsis): no Windows package")
  add_custom_target(windows-package
    COMMAND ${CMAKE_COMMAND} -E echo "windows-package needs zip and makensis (Debian: zip, nsis)"
    COMMAND ${CMAKE_COMMAND} -E false)
  return()
endif()

set(package ${CMAKE_BINARY_DIR}/package)
set(stage ${package}/stage)
set(data ${PROJECT_SOURCE_DIR}/data/win32)
set(ORBILON_WINDOWS_ZIP ${package}/Orbilon-${PROJECT_VERSION}-windows-x64.zip)
set(ORBILON_WINDOWS_SETUP ${package}/Orbilon-${PROJECT_VERSION}-setup-x64.exe)
set(staged ${stage}/Orbilon.scr ${stage}/Orbilon.dll ${stage}/README.txt ${stage}/LICENSE.txt)
set(text ${CMAKE_COMMAND} -DPROJECT_VERSION=${PROJECT_VERSION})
set(crlf -P ${PROJECT_SOURCE_DIR}/cmake/WindowsText.cmake)

add_custom_command(OUTPUT ${staged}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}
  COMMAND ${CMAKE_STRIP} --strip-all -o ${stage}/Orbilon.scr $<TARGET_FILE:orbilon_scr_win32>
  COMMAND ${CMAKE_STRIP} --strip-all -o ${stage}/Orbilon.dll $<TARGET_FILE:orbilon_renderer>
  COMMAND ${text} -DIN=${data}/README.txt.in -DOUT=${stage}/README.txt ${crlf}
  COMMAND ${text} -DIN=${PROJECT_SOURCE_DIR}/LICENSE -DOUT=${stage}/LICENSE.txt ${crlf}
  DEPENDS orbilon_scr_win32 orbilon_renderer ${data}/README.txt.in ${PROJECT_SOURCE_DIR}/LICENSE
          ${PROJECT_SOURCE_DIR}/cmake/WindowsText.cmake
  COMMENT "Staging the Windows release")

# -X: no Unix extra fields, so the archive holds only what Windows' own extractor reads.
add_custom_command(OUTPUT ${ORBILON_WINDOWS_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${ORBILON_WINDOWS_ZIP}
  COMMAND ${ORBILON_ZIP} -q -X -9 ${ORBILON_WINDOWS_ZIP} Orbilon.scr Orbilon.dll README.txt
          LICENSE.txt
  WORKING_DIRECTORY ${stage}
  DEPENDS ${staged}
  COMMENT "Zipping the Windows release")

add_custom_command(OUTPUT ${ORBILON_WINDOWS_SETUP}
  COMMAND ${ORBILON_MAKENSIS} -V2 -INPUTCHARSET UTF8 -DVERSION=${PROJECT_VERSION}
          -DSTAGE=${stage} -DICON=${data}/Orbilon.ico -DOUTFILE=${ORBILON_WINDOWS_SETUP}
          ${data}/orbilon.nsi
  DEPENDS ${staged} ${data}/orbilon.nsi ${data}/Orbilon.ico
  COMMENT "Building the Windows installer")

add_custom_target(windows-package ALL DEPENDS ${ORBILON_WINDOWS_ZIP} ${ORBILON_WINDOWS_SETUP})
