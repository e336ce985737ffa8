# The program as an installed desktop program: where `cmake --install` puts it, its menu entry,
# icons and AppStream description, and the Debian package `make deb` builds from the same rules.
#
#   bin/quillon                              the executable
#   share/quillon/                           the read-only program data that seeds each user's
#                                            program folder (help/, spell/ dictionaries, ...)
#   share/applications/<id>.desktop          the menu entry ("Open with" for HTML files)
#   share/icons/hicolor/{scalable,48x48,128x128}/apps/<id>.{svg,png}
#   share/metainfo/<id>.metainfo.xml
include(GNUInstallDirs)

set(QUILLON_APP_ID example.quillon.Quillon)
set(QUILLON_DESKTOP_DIR ${CMAKE_SOURCE_DIR}/desktop)

# The window icon, built into the program so the build folder's copy has it too.
set_target_properties(quillon PROPERTIES AUTORCC ON)
target_sources(quillon PRIVATE ${QUILLON_DESKTOP_DIR}/icons.qrc)

install(TARGETS quillon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The program data, by folder: everything under data/ is laid into the program folder, and the
# dictionaries the build makes go with it. What the program writes at run time (settings,
# projects, backups, user dictionaries, spell.cfg) stays out, so a build folder that has been
# used still installs clean.
# The tool-bar pictures under data/icons/ are built into the program instead.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/data/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quillon
  PATTERN icons EXCLUDE)
install(DIRECTORY ${QUILLON_PROGRAM_DIR}/spell/ DESTINATION ${CMAKE_INSTALL_DATADIR}/quillon/spell
  FILES_MATCHING PATTERN "*.dct" PATTERN "*.frq")

install(FILES ${QUILLON_DESKTOP_DIR}/${QUILLON_APP_ID}.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${QUILLON_DESKTOP_DIR}/${QUILLON_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${QUILLON_DESKTOP_DIR}/${QUILLON_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# The PNGs are rendered from the SVG and committed, so the build needs no SVG renderer:
#   rsvg-convert -w 48 -h 48 desktop/example.quillon.Quillon.svg -o desktop/quillon-48.png
foreach(size 48 128)
  install(FILES ${QUILLON_DESKTOP_DIR}/quillon-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
    RENAME ${QUILLON_APP_ID}.png)
endforeach()

# The installed layout, the validators and the installed program's first and second start.
if(QUILLON_BUILD_TESTS)
  enable_testing()
  add_test(NAME install_layout COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/check-install.sh
    ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
  set_tests_properties(install_layout PROPERTIES TIMEOUT 300 RUN_SERIAL ON)
  add_test(NAME deb_package COMMAND bash ${CMAKE_SOURCE_DIR}/tests/install/check-deb.sh
    ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(deb_package PROPERTIES TIMEOUT 300 RUN_SERIAL ON)
endif()

# The Debian package. Its library dependencies are read off the executable (dpkg-shlibdeps), so a
# new library linked later needs no line here; what that scan cannot see is named: the web
# engine's helper process and its data, which the preview loads at run time.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillon)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Quillon")
set(CPACK_PACKAGE_CONTACT "Quillon <support@quillon.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Build and keep small web sites by hand-written HTML")
# The long description below the summary line; CPack indents each line itself.
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "A site outline of pages on the left, the HTML source of one page on the right, tag\n"
  "commands, find and replace, snippets, site analysis, spell checking, preview and an FTP\n"
  "client that publishes the changed pages.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.quillon.example/")
set(CPACK_DEBIAN_PACKAGE_SECTION web)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, libqt6webengine6-data")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "hicolor-icon-theme, fonts-dejavu-core, qt6-wayland")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_SOURCE_IGNORE_FILES "/build.*/;/\\\\.git/")
include(CPack)
