# Where an install puts LumenShow (cmake --install build --prefix /usr), and the .deb
# CPack makes of it (scripts/package.sh).
include(GNUInstallDirs)

install(TARGETS lumenshow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES desktop/lumenshow.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/lumenshow.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES desktop/org.lumenshow.LumenShow.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# The manual page and the Debian changelog compressed as Debian installs them (gzip -9n:
# no name or time inside, so the same file comes out of every build).
find_program(GZIP gzip REQUIRED)
set(packaged ${CMAKE_BINARY_DIR}/packaged)
add_custom_command(OUTPUT ${packaged}/lumenshow.1.gz ${packaged}/changelog.gz
                   COMMAND ${CMAKE_COMMAND} -E make_directory ${packaged}
                   COMMAND ${GZIP} -9n -c ${CMAKE_SOURCE_DIR}/docs/lumenshow.1 > ${packaged}/lumenshow.1.gz
                   COMMAND ${GZIP} -9n -c ${CMAKE_SOURCE_DIR}/packaging/changelog > ${packaged}/changelog.gz
                   DEPENDS ${CMAKE_SOURCE_DIR}/docs/lumenshow.1 ${CMAKE_SOURCE_DIR}/packaging/changelog)
add_custom_target(packaged_docs ALL DEPENDS ${packaged}/lumenshow.1.gz ${packaged}/changelog.gz)
install(FILES ${packaged}/lumenshow.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${packaged}/changelog.gz packaging/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumenshow)
# The user guide the main window's link opens (bin/../share/doc/lumenshow).
install(FILES docs/user-guide.html DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumenshow)
install(FILES docs/images/main-window.png docs/images/turning-page.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lumenshow/images)
# "Slide show" on a folder's context menu, where the file manager reads such files:
# Dolphin (KDE) and Nemo (Cinnamon). None of them makes LumenShow the folders' opener.
install(FILES desktop/lumenshow-slideshow.servicemenu.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/kio/servicemenus
        RENAME lumenshow-slideshow.desktop)
install(FILES desktop/lumenshow.nemo_action DESTINATION ${CMAKE_INSTALL_DATADIR}/nemo/actions)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumenshow)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "LumenShow maintainers <maintainers@lumenshow.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "photo slide show with a page-turning animation and music")
# The summary above is the description's first line; this is the rest.
# Lines of at most 80 characters, as Debian's tools show them.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "LumenShow shows a folder of JPEG and BMP photos full screen; each picture\nchanges with a page turn, by hand or automatically, with music from an MP3 or\nWAV file or an audio CD. The user interface is in Japanese.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the program links, found by dpkg-shlibdeps; and what it uses at run time:
# the Japanese font of its controls, Qt's Japanese dialog texts, the browser opener, and
# Qt's readers of WebP and TIFF.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n, xdg-utils, qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
