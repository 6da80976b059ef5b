# Where an install puts things (cmake --install, make package). The two XScreenSaver folders
# are absolute: MATE and xfce take hacks only from XScreenSaver's own folders, whatever the
# prefix.
include(GNUInstallDirs)
set(ORBILON_XSCREENSAVER_HACK_DIR /usr/libexec/xscreensaver CACHE PATH
    "Folder of XScreenSaver's hacks; the link `orbilon` goes there")
set(ORBILON_XSCREENSAVER_CONFIG_DIR /usr/share/xscreensaver/config CACHE PATH
    "Folder of XScreenSaver's hack descriptions; orbilon.xml goes there")
set(ORBILON_XDG_AUTOSTART_DIR /etc/xdg/autostart CACHE PATH
    "Folder of the desktop's autostart entries; orbilon-idle.desktop goes there")
# Both programs, side by side, below the prefix.
set(ORBILON_INSTALL_PROGRAM_DIR ${CMAKE_INSTALL_LIBEXECDIR}/orbilon)
set(ORBILON_INSTALL_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/orbilon)
# The documentation folder as seen from the programs' folder; the settings dialog opens it.
file(RELATIVE_PATH ORBILON_DOC_FROM_PROGRAM_DIR /prefix/${ORBILON_INSTALL_PROGRAM_DIR}
     /prefix/${ORBILON_INSTALL_DOC_DIR})
