# SPDX-License-Identifier: GPL-3.0-or-later
# The Debian package: stripped programs, manual pages, the copyright and changelog files
# lintian looks for, and a version with a Debian revision (4.5-1), so the package is not
# a native one. The maintainer is named here only.
set(VAPRON_TEAM "Vapron Team")
set(VAPRON_MAINTAINER "${VAPRON_TEAM} <team@vapron.invalid>")
set(VAPRON_PACKAGE_REVISION 1)
set(VAPRON_PACKAGE_VERSION "${PROJECT_VERSION}-${VAPRON_PACKAGE_REVISION}")
set(VAPRON_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/vapron)
set(VAPRON_GENERATED ${CMAKE_BINARY_DIR}/generated)

# Manual pages, written once in Markdown (doc/man) and made with go-md2man.
find_program(GO_MD2MAN go-md2man)
find_program(GZIP gzip REQUIRED)
if(GO_MD2MAN)
  set(VAPRON_MAN_PAGES)
  foreach(page vapron vapron-cli vapron-sim)
    configure_file(doc/man/${page}.1.md ${VAPRON_GENERATED}/man/${page}.1.md @ONLY)
    set(out ${VAPRON_GENERATED}/man/${page}.1.gz)
    add_custom_command(OUTPUT ${out}
      COMMAND ${GO_MD2MAN} -in ${VAPRON_GENERATED}/man/${page}.1.md -out ${VAPRON_GENERATED}/man/${page}.1
      COMMAND ${GZIP} -9nf ${VAPRON_GENERATED}/man/${page}.1
      DEPENDS ${VAPRON_GENERATED}/man/${page}.1.md
      COMMENT "Manual page ${page}(1)")
    list(APPEND VAPRON_MAN_PAGES ${out})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${VAPRON_MAN_PAGES})
  install(FILES ${VAPRON_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "go-md2man not found: no manual pages (scripts/install-deps.sh installs it)")
endif()

# copyright and changelog.Debian.gz in the package's documentation folder.
configure_file(dist/debian/copyright.in ${VAPRON_GENERATED}/debian/copyright @ONLY)
configure_file(dist/debian/changelog.in ${VAPRON_GENERATED}/debian/changelog.Debian @ONLY)
set(changelog ${VAPRON_GENERATED}/debian/changelog.Debian.gz)
add_custom_command(OUTPUT ${changelog}
  COMMAND ${GZIP} -9nc ${VAPRON_GENERATED}/debian/changelog.Debian > ${changelog}
  DEPENDS ${VAPRON_GENERATED}/debian/changelog.Debian)
add_custom_target(debian_changelog ALL DEPENDS ${changelog})
install(FILES ${VAPRON_GENERATED}/debian/copyright ${changelog} DESTINATION ${VAPRON_DOC_DIR})
install(FILES dist/debian/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME vapron)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vapron)
set(CPACK_PACKAGE_VENDOR "${VAPRON_TEAM}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "workshop program for a sequential LPG injection controller")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${VAPRON_PACKAGE_REVISION})
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${VAPRON_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_PACKAGE_DESCRIPTION
    "Finds and identifies the controller on a serial line; reads, checks\n\
and writes its settings; shows live engine and gas values; records and\n\
replays runs; and backs up the EEPROM. vapron-cli does the same without\n\
a window; vapron-sim is a simulated controller on a pseudo-terminal.")
# The libraries come from dpkg-shlibdeps; Qt's Polish texts are data it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-translations-l10n")
include(CPack)
