# Runs at install time: the settings (DRELK_SETTINGS_FILE: the example or the operator's own) go in
# only when the folder has none, so that an installation over an existing game folder keeps the
# settings there.
set(settings "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/pm_config.ini")
if(EXISTS "${settings}")
    message(STATUS "Keeping: ${settings}")
else()
    # file(INSTALL) puts DESTDIR in front of the destination itself.
    file(INSTALL "${DRELK_SETTINGS_FILE}" DESTINATION "${CMAKE_INSTALL_PREFIX}" RENAME pm_config.ini)
endif()
