# What `cmake --install` puts where, and the Debian package `make package` builds from it.
# Paths below the prefix come from cmake/InstallDirs.cmake.
if(NOT ORBILON_LINUX_PROGRAMS OR ORBILON_FUZZ)
  return()
endif()

set(ORBILON_PACKAGE_MAINTAINER "Orbilon developers <orbilon@example.org>" CACHE STRING
    "Maintainer field of the Debian package")
set(ORBILON_DATA ${CMAKE_SOURCE_DIR}/data)
set(ORBILON_STAGE ${CMAKE_BINARY_DIR}/install-data)

# --- Files made from data/ at build time: texts with paths and the version filled in,
# compressed manual pages, and the icon in three sizes.
configure_file(${ORBILON_DATA}/orbilon-screensaver.desktop.in
               ${ORBILON_STAGE}/screensavers/orbilon.desktop @ONLY)
# The menu entry and the metainfo carry the AppStream id, as AppStream asks.
set(ORBILON_APP_ID io.github.orbilon.Orbilon)
configure_file(${ORBILON_DATA}/${ORBILON_APP_ID}.desktop.in ${ORBILON_STAGE}/${ORBILON_APP_ID}.desktop @ONLY)
configure_file(${ORBILON_DATA}/${ORBILON_APP_ID}.metainfo.xml.in
               ${ORBILON_STAGE}/${ORBILON_APP_ID}.metainfo.xml @ONLY)
configure_file(${ORBILON_DATA}/changelog.Debian.in ${ORBILON_STAGE}/changelog.Debian @ONLY)

set(ORBILON_MAN_PAGES orbilon.6 Orbilon.dll.6 orbilon-register.1 orbilon-idle.1)
set(ORBILON_MADE_FILES)
foreach(page ${ORBILON_MAN_PAGES})
  configure_file(${ORBILON_DATA}/${page} ${ORBILON_STAGE}/man/${page} @ONLY)
  list(APPEND ORBILON_MADE_FILES ${ORBILON_STAGE}/man/${page}.gz)
endforeach()
list(APPEND ORBILON_MADE_FILES ${ORBILON_STAGE}/changelog.Debian.gz)
foreach(file ${ORBILON_MADE_FILES})
  string(REGEX REPLACE "\\.gz$" "" plain ${file})
  # -n: no name or time stamp inside, so the package is the same on every build.
  add_custom_command(OUTPUT ${file} COMMAND gzip -9nf -k ${plain} DEPENDS ${plain} VERBATIM)
endforeach()

set(ORBILON_ICON_SIZES 32 64 128)
foreach(size ${ORBILON_ICON_SIZES})
  math(EXPR scale "${size} / 32")
  set(icon ${ORBILON_STAGE}/icons/${size}x${size}/orbilon.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORBILON_STAGE}/icons/${size}x${size}
    COMMAND icon_png ${CMAKE_SOURCE_DIR}/frontend/settings/art/icon.bmp ${icon} ${scale}
    DEPENDS icon_png ${CMAKE_SOURCE_DIR}/frontend/settings/art/icon.bmp VERBATIM)
  list(APPEND ORBILON_MADE_FILES ${icon})
endforeach()
add_custom_target(install-data ALL DEPENDS ${ORBILON_MADE_FILES})

# --- The programs, side by side, and the user's registration command.
install(TARGETS orbilon_scr orbilon_renderer DESTINATION ${ORBILON_INSTALL_PROGRAM_DIR})
install(TARGETS orbilon-register orbilon-idle DESTINATION ${CMAKE_INSTALL_BINDIR})

# The hack: a relative link from XScreenSaver's folder to the front end, so it resolves inside
# a staging root too. The front end finds the renderer through /proc/self/exe, that is beside
# the link's target.
install(CODE "
  set(hack_dir \"\$ENV{DESTDIR}${ORBILON_XSCREENSAVER_HACK_DIR}\")
  file(RELATIVE_PATH target \"${ORBILON_XSCREENSAVER_HACK_DIR}\"
       \"\${CMAKE_INSTALL_PREFIX}/${ORBILON_INSTALL_PROGRAM_DIR}/Orbilon.scr\")
  message(STATUS \"Installing: \${hack_dir}/orbilon -> \${target}\")
  file(MAKE_DIRECTORY \"\${hack_dir}\")
  file(CREATE_LINK \"\${target}\" \"\${hack_dir}/orbilon\" SYMBOLIC)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${hack_dir}/orbilon\")
")

# --- Where the screen-saver services and the desktop look.
install(FILES ${ORBILON_DATA}/orbilon.xml DESTINATION ${ORBILON_XSCREENSAVER_CONFIG_DIR})
install(FILES ${ORBILON_STAGE}/screensavers/orbilon.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications/screensavers)
install(FILES ${ORBILON_STAGE}/${ORBILON_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${ORBILON_STAGE}/${ORBILON_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo)
# Runs orbilon-idle at every login; it does nothing for a user who has not turned it on.
install(FILES ${ORBILON_DATA}/orbilon-idle.desktop DESTINATION ${ORBILON_XDG_AUTOSTART_DIR})
foreach(size ${ORBILON_ICON_SIZES})
  install(FILES ${ORBILON_STAGE}/icons/${size}x${size}/orbilon.png
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
foreach(page ${ORBILON_MAN_PAGES})
  string(REGEX REPLACE ".*\\." "" section ${page})
  install(FILES ${ORBILON_STAGE}/man/${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${section})
endforeach()
install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION ${ORBILON_INSTALL_DOC_DIR})
# The README's pictures and the pages it links to, at the same relative place.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/docs/ DESTINATION ${ORBILON_INSTALL_DOC_DIR}/docs
        FILES_MATCHING PATTERN "*.md" PATTERN "*.png")
install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION ${ORBILON_INSTALL_DOC_DIR} RENAME copyright)
# Debian's change log belongs in the package only.
install(FILES ${ORBILON_STAGE}/changelog.Debian.gz DESTINATION ${ORBILON_INSTALL_DOC_DIR}
        COMPONENT debian EXCLUDE_FROM_ALL)

# --- The Debian package: build/orbilon_VERSION-1_ARCH.deb
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orbilon)
set(CPACK_PACKAGE_VENDOR Orbilon)
set(CPACK_PACKAGE_CONTACT ${ORBILON_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "3D screen saver of lit beads spiralling up strands")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Five invisible strands wander from the bottom of the screen to its top, each
wrapped by 300 small lit shapes that spiral up along it in slowly drifting
colours. Background music can accompany it: an audio CD, or an MP3 or WAV
file that loops.

Orbilon runs under XScreenSaver (after the user runs orbilon-register once),
the MATE and Xfce screen savers, xss-lock and xautolock, and in Wayland
sessions after idle minutes once the user runs orbilon-idle --enable.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
# One package from both components; `debian` holds what only the package ships.
set(CPACK_COMPONENTS_ALL Unspecified debian)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# A file under /etc is the administrator's: dpkg keeps their changes.
file(WRITE ${ORBILON_STAGE}/conffiles "${ORBILON_XDG_AUTOSTART_DIR}/orbilon-idle.desktop\n")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${ORBILON_STAGE}/conffiles)
# Loaded at run time, so dpkg-shlibdeps cannot see them: GStreamer's playbin, MP3 and WAV
# decoders and audio sinks, the dialog's font, and Mesa's OpenGL drivers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, fonts-ipafont-gothic, libgl1-mesa-dri, libglx-mesa0")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | mate-screensaver")
include(CPack)
