# Where an install puts LumenShow (cmake --install build --prefix /usr), and the .deb
# CPack makes of it (scripts/package.sh).
include(GNUInstallDirs)

install(TARGETS lumenshow RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES desktop/lumenshow.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES desktop/lumenshow.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES desktop/org.lumenshow.LumenShow.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES docs/lumenshow.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
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
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "LumenShow shows a folder of JPEG and BMP photos full screen; each picture changes\nwith a page turn, by hand or automatically, with music from an MP3 or WAV file\nor an audio CD. The user interface is in Japanese.")
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The libraries the program links, found by dpkg-shlibdeps; and what it uses at run time:
# the Japanese font of its controls, Qt's Japanese dialog texts, the browser opener.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, qt6-translations-l10n, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)
