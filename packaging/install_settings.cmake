# Runs at install time: the example settings go in only when the folder has none, so that an
# installation over an existing game folder keeps the operator's settings.
set(settings "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}/pm_config.ini")
if(EXISTS "${settings}")
    message(STATUS "Keeping: ${settings}")
else()
    # file(INSTALL) puts DESTDIR in front of the destination itself.
    file(INSTALL "${DRELK_PACKAGING_DIR}/pm_config.ini" DESTINATION "${CMAKE_INSTALL_PREFIX}")
endif()
