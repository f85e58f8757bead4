# Installation layout (cmake --install) and the Debian package (make package).
include(GNUInstallDirs)

install(TARGETS orvane RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES dist/orvane.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES dist/orvane.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(DIRECTORY demo/demo DESTINATION ${CMAKE_INSTALL_DATADIR}/orvane PATTERN ".keep" EXCLUDE)
# udev reads its rules from <prefix>/lib/udev/rules.d, whatever the library folder.
install(FILES dist/70-orvane-dmx.rules DESTINATION lib/udev/rules.d)

# The manual page, with the version filled in and compressed as Debian keeps them.
set(ORVANE_MAN ${PROJECT_BINARY_DIR}/man/orvane.1)
configure_file(dist/orvane.1 ${ORVANE_MAN} @ONLY)
add_custom_command(OUTPUT ${ORVANE_MAN}.gz
                   COMMAND gzip -9 -n -c ${ORVANE_MAN} > ${ORVANE_MAN}.gz
                   DEPENDS ${ORVANE_MAN}
                   COMMENT "Compressing the manual page")
add_custom_target(orvane_manpage ALL DEPENDS ${ORVANE_MAN}.gz)
install(FILES ${ORVANE_MAN}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR orvane)
set(CPACK_PACKAGE_CONTACT "orvane maintainers <orvane@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "light-show controller for a small venue")
set(CPACK_PACKAGE_DESCRIPTION
    "orvane runs a light show built as up to 500 numbered steps: it cross-fades one\n\
DMX512 universe from step to step and sends it to a USB-DMX interface on a\n\
serial line, plays each step's sound and runs each step's extra commands.\n\
'orvane --check SHOW' checks a show before it goes on stage.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies computed by dpkg-shlibdeps from the libraries the program links.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt's own texts (Yes, No, Cancel...) in French; orvane's own are built in.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
