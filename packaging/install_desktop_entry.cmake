# Runs at install time (cmake --install and CPack): the desktop entry, named after the program's id
# (DRELK_APP_ID), names the installed program by its absolute path and starts it in its own folder,
# where it finds pm_config.ini and game/.
set(DRELK_FOLDER "${CMAKE_INSTALL_PREFIX}")
set(entry "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/share/applications/${DRELK_APP_ID}.desktop")
configure_file("${DRELK_PACKAGING_DIR}/drelk.desktop.in" "${entry}" @ONLY)
message(STATUS "Installing: ${entry}")
