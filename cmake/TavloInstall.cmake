# Installed like Linux software: both programs in bin, what a new user's folder receives in the
# package's data folder, desktop entries, icon and metainfo where desktops look for them, and a
# .deb through CPack.

target_compile_definitions(TAVLO PRIVATE TAVLO_DESKTOP_ID="${TAVLO_APP_ID}")
target_compile_definitions(TAVLO-Display PRIVATE TAVLO_DISPLAY_DESKTOP_ID="${TAVLO_DISPLAY_APP_ID}")

# The package gets its own pristine copies: the ones in the build's program folder are the
# ones a developer's runs change.
set(_data ${CMAKE_BINARY_DIR}/package-data)
add_custom_command(
  OUTPUT ${_data}/TAVLO.mdb ${_data}/TAVLO-Display.jpg ${_data}/TAVLO-Display.hta
  COMMAND ${CMAKE_COMMAND} -E make_directory ${_data}
  COMMAND make_empty_db ${_data}/TAVLO.mdb
  COMMAND make_display_picture ${_data}/TAVLO-Display.jpg
  COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/src/display/page/TAVLO-Display.hta ${_data}/
  DEPENDS make_empty_db make_display_picture ${PROJECT_SOURCE_DIR}/src/display/page/TAVLO-Display.hta
  COMMENT "Preparing the package's data folder"
  VERBATIM)
add_custom_target(tavlo_package_data ALL
  DEPENDS ${_data}/TAVLO.mdb ${_data}/TAVLO-Display.jpg ${_data}/TAVLO-Display.hta)

set(TAVLO_FULL_BINDIR ${CMAKE_INSTALL_FULL_BINDIR})
set(_dist ${PROJECT_SOURCE_DIR}/dist)
set(_out ${CMAKE_BINARY_DIR}/dist)
configure_file(${_dist}/tavlo.desktop.in ${_out}/${TAVLO_APP_ID}.desktop @ONLY)
configure_file(${_dist}/tavlo-display.desktop.in ${_out}/${TAVLO_DISPLAY_APP_ID}.desktop @ONLY)
configure_file(${_dist}/tavlo-display-autostart.desktop.in ${_out}/TAVLO-Display-autostart.desktop @ONLY)
configure_file(${_dist}/tavlo.metainfo.xml.in ${_out}/${TAVLO_APP_ID}.metainfo.xml @ONLY)

install(TARGETS TAVLO TAVLO-Display RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${_data}/TAVLO.mdb ${_data}/TAVLO-Display.hta ${_data}/TAVLO-Display.jpg
              ${_out}/TAVLO-Display-autostart.desktop
        DESTINATION ${TAVLO_INSTALL_DATADIR})
install(FILES ${_out}/${TAVLO_APP_ID}.desktop ${_out}/${TAVLO_DISPLAY_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_dist}/tavlo.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${TAVLO_APP_ID}.svg)
install(FILES ${_out}/${TAVLO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# What Debian asks of every package: the copyright, the changelog and a manual page for each
# program, all compressed but the copyright.
file(STRINGS ${_dist}/changelog _tavlo_changelog_top LIMIT_COUNT 1)
if(NOT _tavlo_changelog_top MATCHES "^tavlo \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "dist/changelog does not start with version ${PROJECT_VERSION}")
endif()
add_custom_command(
  OUTPUT ${_out}/changelog.gz
  COMMAND ${CMAKE_COMMAND} -E copy ${_dist}/changelog ${_out}/changelog
  COMMAND gzip -9nf ${_out}/changelog
  DEPENDS ${_dist}/changelog
  VERBATIM)
set(_pages)
foreach(_program TAVLO TAVLO-Display)
  add_custom_command(
    OUTPUT ${_out}/${_program}.1.gz
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${_program}> -DNAME=${_program} -DVERSION=${PROJECT_VERSION}
            -DDATA_FOLDER=${TAVLO_INSTALL_FULL_DATADIR} -DOUTPUT=${_out}/${_program}.1.gz
            -P ${PROJECT_SOURCE_DIR}/cmake/TavloManPage.cmake
    DEPENDS ${_program} ${PROJECT_SOURCE_DIR}/cmake/TavloManPage.cmake
    COMMENT "Writing the manual page of ${_program} from its --help"
    VERBATIM)
  list(APPEND _pages ${_out}/${_program}.1.gz)
endforeach()
add_custom_target(tavlo_package_docs ALL DEPENDS ${_out}/changelog.gz ${_pages})
install(FILES ${_dist}/copyright ${_out}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tavlo)
install(FILES ${_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(TAVLO_PACKAGE_CONTACT "TAVLO <support@tavlo.example>" CACHE STRING "Maintainer of the .deb package")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tavlo)
set(CPACK_PACKAGE_VENDOR TAVLO)
set(CPACK_PACKAGE_CONTACT ${TAVLO_PACKAGE_CONTACT})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "waiting lists of a card room, shown on a large screen")
# Lines of at most 80 characters, as Debian's tools show them.
string(CONCAT CPACK_PACKAGE_DESCRIPTION
  "An operator keeps an ordered waiting list of players for each game; a\n"
  "full-screen viewer shows all lists on a large screen in the room. Each user's\n"
  "lists and settings live in the user's own data folder.")
set(CPACK_PACKAGE_HOMEPAGE_URL ${TAVLO_VENDOR_URL})
# The programs only know their own prefix: the package must put them exactly there.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Plugins Qt loads at run time, which no packaging tool can see: the SQLite driver.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite")
# A room of several desks keeps its lists on a PostgreSQL server, through Qt's driver for it;
# Qt's own translations say its buttons and command-line help in German and Spanish too.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-wine, fonts-dejavu-core, libqt6sql6-psql, qt6-translations-l10n")
include(CPack)
