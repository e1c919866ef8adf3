# Installation under /usr and the Debian package (scripts/package: cpack -G DEB in the Release build).
#   /usr/lib/comedal/comedal, figuras/   the program with its button pictures beside it
#   /usr/bin                             comedal (starts the above), the set-up commands, the tools
#   /usr/sbin/comedal-prepara            server, password and databases (run by the package's postinst)
#   /usr/share/comedal                   the schema scripts the set-up creates databases from
include(GNUInstallDirs)

install(TARGETS comedal RUNTIME DESTINATION lib/comedal)
install(DIRECTORY figuras DESTINATION lib/comedal)
install(PROGRAMS packaging/comedal DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS comedal-createdb comedal-upgradedb comedal-empresa comedal-administrador comedal-relatorio
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET simulador-balanca)
  install(TARGETS simulador-balanca RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
install(PROGRAMS tools/comedal-backup tools/comedal-restaure DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS tools/comedal-prepara DESTINATION ${CMAKE_INSTALL_SBINDIR})
install(FILES tools/comedal-fbk.sh DESTINATION lib/comedal)
install(FILES data/local.sql data/central.sql DESTINATION ${CMAKE_INSTALL_DATADIR}/comedal)
install(FILES packaging/comedal.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/comedal.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES packaging/comedal-backup.service packaging/comedal-backup.timer DESTINATION lib/systemd/system)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME comedal)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_CONTACT "Comedal <suporte@comedal.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Comedal - Sistema de Alimentação Popular")
set(CPACK_PACKAGE_DESCRIPTION "Counter program of a subsidised popular restaurant: consumers by CPF, meals weighed on a serial scale, receipts with a barcode, export to a central Firebird database, daily backups of the local database.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "firebird3.0-server, firebird3.0-utils, libfbclient2, libqt6core6, libqt6gui6, libqt6widgets6, libqt6network6, libqt6printsupport6, libqt6serialport6, libqt6charts6, qt6-qpa-plugins, qt6-translations-l10n, netcat-openbsd")
# qt6-translations-l10n: the toolkit's own dialogs (file, print) in Portuguese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-dejavu-core")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA "${CMAKE_SOURCE_DIR}/packaging/postinst;${CMAKE_SOURCE_DIR}/packaging/prerm")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
