# The Debian package of the Linux program and the DB-node simulator
# (scripts/package.sh runs CPack, then lintian on the result).
include(GNUInstallDirs)
install(TARGETS orvvarnoth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
set(ORV_MAN_PAGES orvvarnoth orv-dbnode)
install(TARGETS orv-dbnode RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/tools/dbnode/sample_plan.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvvarnoth)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/orvvarnoth.cfg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvvarnoth)

# The menu entry, its icon (the browser panels' own), and the start that
# puts the program in the user's folder.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/debian/orvvarnoth.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/resources/web/icon.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME orvvarnoth.svg)
install(PROGRAMS ${PROJECT_SOURCE_DIR}/packaging/debian/orvvarnoth-menu
        DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/orvvarnoth)

set(ORV_PACKAGE_MAINTAINER
    "orvvarnoth maintainers <maintainers@users.noreply.c-seed-5963bccf.example>"
    CACHE STRING "Maintainer of the Debian package: name <address>")
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvvarnoth)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${ORV_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cockpit-control client and DB-node simulator")
set(CPACK_PACKAGE_DESCRIPTION
    "orvvarnoth is a cockpit-control client for a networked flight simulator.\n"
    "It finds the simulator's DB node by UDP broadcast, mirrors the variables\n"
    "the node streams, shows them on its panels, sends the panels' and keys'\n"
    "commands back, and flies the flight plan the node sends.\n"
    "\n"
    "orv-dbnode, a DB-node simulator with a small aircraft model, comes with it\n"
    "for trying the client without a simulator.")
string(JOIN "" CPACK_PACKAGE_DESCRIPTION ${CPACK_PACKAGE_DESCRIPTION})
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)

# What Debian asks of every package: copyright, changelog and manual pages
# (compressed without a time stamp, so that the package rebuilds the same).
set(orv_doc ${CMAKE_INSTALL_DATADIR}/doc/orvvarnoth)
set(orv_staged ${CMAKE_BINARY_DIR}/debian)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/copyright.in ${orv_staged}/copyright @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/changelog.in ${orv_staged}/changelog @ONLY)
set(orv_compressed ${orv_staged}/changelog)
foreach(page ${ORV_MAN_PAGES})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/debian/${page}.1 ${orv_staged}/${page}.1 @ONLY)
  list(APPEND orv_compressed ${orv_staged}/${page}.1)
endforeach()
foreach(file ${orv_compressed})
  execute_process(COMMAND gzip -9nf ${file})
endforeach()
install(FILES ${orv_staged}/copyright ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${orv_doc})
# What the README links to, where its links lead.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${orv_doc}/docs)
install(FILES ${orv_staged}/changelog.gz DESTINATION ${orv_doc})
foreach(page ${ORV_MAN_PAGES})
  install(FILES ${orv_staged}/${page}.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
include(CPack)
