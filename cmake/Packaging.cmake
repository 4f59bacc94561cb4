# The installed layout a Debian user expects, and the .deb that carries it
# (tools/package). Installed, the program finds its sound clips in
# share/paperpull beside bin/ (ShippedFilesFolder).
include(GNUInstallDirs)

install(TARGETS paperpull paperpull-extract RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(PAPERPULL_SOUNDS_BUILT ${CMAKE_BINARY_DIR}/src/app) # where paperpull-makesounds puts them
install(FILES ${PAPERPULL_SOUNDS_BUILT}/101.wav ${PAPERPULL_SOUNDS_BUILT}/102.wav ${PAPERPULL_SOUNDS_BUILT}/103.wav
        DESTINATION ${CMAKE_INSTALL_DATADIR}/paperpull)
install(FILES packaging/paperpull.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/paperpull.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Man pages go compressed, as Debian keeps them.
find_program(GZIP_PROGRAM gzip REQUIRED)
foreach(page paperpull.1 paperpull-extract.1)
    add_custom_command(
        OUTPUT ${CMAKE_BINARY_DIR}/man/${page}.gz
        COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/packaging/${page} ${CMAKE_BINARY_DIR}/man/${page}
        COMMAND ${GZIP_PROGRAM} -9nf ${CMAKE_BINARY_DIR}/man/${page}
        DEPENDS ${CMAKE_SOURCE_DIR}/packaging/${page}
        VERBATIM)
    list(APPEND PAPERPULL_MAN_PAGES ${CMAKE_BINARY_DIR}/man/${page}.gz)
endforeach()
add_custom_target(paperpull_man_pages ALL DEPENDS ${PAPERPULL_MAN_PAGES})
install(FILES ${PAPERPULL_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME paperpull)
set(CPACK_PACKAGE_VENDOR "Paperpull")
set(CPACK_PACKAGE_CONTACT "Paperpull developers <paperpull@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "find journal articles and fetch their PDFs")
set(CPACK_PACKAGE_DESCRIPTION "Paperpull searches the journal site in a browser of its own, reads every
result page into a list of articles, and downloads their PDFs with up to six
transfers at once, named after the articles' titles. It signs in to the site
when papers come back as sign-in pages. paperpull-extract lists the articles
of saved result pages on the command line.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # paperpull_<version>_<arch>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries the executables link (Qt, gumbo, libcurl) come from
# dpkg-shlibdeps; what is loaded at run time is named here: the browser's
# helper process and its data, the toolkit's Chinese translations (its
# standard buttons and file dialogs), and the fonts without which every
# caption would show as boxes.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6webenginecore6-bin, libqt6webengine6-data, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk")
include(CPack)
