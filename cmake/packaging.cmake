# The Debian package of the Linux program and the DB-node simulator
# (scripts/package.sh runs CPack).
include(GNUInstallDirs)
install(TARGETS orvvarnoth RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS orv-dbnode RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${PROJECT_SOURCE_DIR}/tools/dbnode/sample_plan.txt
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvvarnoth)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/orvvarnoth.cfg ${PROJECT_SOURCE_DIR}/README.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/orvvarnoth)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME orvvarnoth)
set(CPACK_PACKAGE_VERSION 1.0.0)
set(CPACK_PACKAGE_CONTACT "orvvarnoth maintainers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Cockpit-control client and DB-node simulator")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
