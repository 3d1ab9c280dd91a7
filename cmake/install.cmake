# What `cmake --install` puts in place and what `cpack -G DEB` packages: the
# game, its menu entry, icons, AppStream metadata, manual page and licence.

set(WENLOTKA_APP_ID org.example.wenlotka)
set(WENLOTKA_HOMEPAGE "https://wenlotka.example.org/" CACHE STRING
    "Home page named in the package and the AppStream metadata")
set(WENLOTKA_SCREENSHOTS "${WENLOTKA_HOMEPAGE}docs/images" CACHE STRING
    "Where the AppStream metadata finds the README's pictures")
set(WENLOTKA_MAINTAINER "WENLOTKA developers <wenlotka@example.org>" CACHE STRING
    "Maintainer named in the package")
# The date of this version's release, not of the build, so that two builds of
# one version carry the same metadata.
set(WENLOTKA_RELEASE_DATE 2026-12-07)

# The icon is drawn by tools/make_icon with the game's renderer and kept in
# resources/icons, so neither the build nor the install needs fonts for it.
# `ninja icons` draws it again after a change to the drawing.
add_executable(make_icon EXCLUDE_FROM_ALL tools/make_icon.cpp)
target_link_libraries(make_icon PRIVATE wl_platform PkgConfig::CAIRO)
set(WENLOTKA_ICON_SIZES 48 64 128 256)
add_custom_target(icons
  COMMAND make_icon ${CMAKE_SOURCE_DIR}/resources/icons ${WENLOTKA_ICON_SIZES}
  COMMENT "Drawing the icons into resources/icons")

configure_file(resources/${WENLOTKA_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/${WENLOTKA_APP_ID}.metainfo.xml @ONLY)

# Debian wants manual pages and the changelog compressed, without a time stamp.
find_program(GZIP_PROGRAM gzip REQUIRED)
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/wenlotka.6.gz
  COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_SOURCE_DIR}/resources/wenlotka.6 > ${CMAKE_BINARY_DIR}/wenlotka.6.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/wenlotka.6
  COMMENT "Compressing the manual page")
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
  COMMAND ${GZIP_PROGRAM} -9nc ${CMAKE_SOURCE_DIR}/resources/changelog > ${CMAKE_BINARY_DIR}/changelog.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/resources/changelog
  COMMENT "Compressing the changelog")
add_custom_target(compressed_docs ALL
  DEPENDS ${CMAKE_BINARY_DIR}/wenlotka.6.gz ${CMAKE_BINARY_DIR}/changelog.gz)

install(FILES resources/${WENLOTKA_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
foreach(size ${WENLOTKA_ICON_SIZES})
  install(FILES resources/icons/${size}x${size}/apps/wenlotka.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/${WENLOTKA_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${CMAKE_BINARY_DIR}/wenlotka.6.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/wenlotka RENAME copyright)
install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/wenlotka)

# ---- The Debian package -------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wenlotka)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${WENLOTKA_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "touch-typing trainer played as a mole game")
# CPack puts the summary first; this is the extended description after it.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "WENLOTKA teaches touch typing on a drawn four-row keyboard. The key to type
next appears as a big glyph, and a mole shows where it is: at once for
beginners, after a hint delay for the advanced levels. Sixty correct keys
make a run, timed to the second; eighteen courses keep their best times.

Texts in English and Japanese; keys typed with a Japanese input method on
are folded back to the key that was pressed.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Debian's games section means a binary in /usr/games, off the PATH of many
# shells; a trainer is at home in education, as its menu entry is.
set(CPACK_DEBIAN_PACKAGE_SECTION education)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${WENLOTKA_HOMEPAGE}")
# Shared libraries from dpkg-shlibdeps, and the faces the game draws with.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-ipafont-gothic, fonts-ipafont-mincho")
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR OFF)
include(CPack)
