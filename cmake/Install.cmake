# The installed layout, under any prefix: the programs in bin/, the data in share/marisole/ (where
# the program looks for it from bin/, see src/core/AppFolders.h), and the desktop menu entry, icons,
# scene file type and AppStream metadata in their freedesktop folders. The paths stay fixed rather
# than following GNUInstallDirs, since the program finds its data by the relative path bin/../share.

set(MARISOLE_BIN ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
set(MARISOLE_DATA_DESTINATION share/marisole)
set(MARISOLE_DESKTOP_SOURCE ${PROJECT_SOURCE_DIR}/data/desktop)

install(TARGETS marisole im RUNTIME DESTINATION bin)

install(FILES
    ${MARISOLE_BIN}/disk1.vd ${MARISOLE_BIN}/disk1.VDH
    ${MARISOLE_BIN}/disk2.vd ${MARISOLE_BIN}/disk2.VDH
    ${MARISOLE_BIN}/OvalithHelp.HTML
  DESTINATION ${MARISOLE_DATA_DESTINATION})
install(DIRECTORY ${MARISOLE_BIN}/TEXTURE ${MARISOLE_BIN}/BACKGROUND ${MARISOLE_BIN}/IMAGE
  DESTINATION ${MARISOLE_DATA_DESTINATION})
# Pose files, once the content generator writes them beside the volumes.
install(DIRECTORY ${MARISOLE_BIN}/POSE DESTINATION ${MARISOLE_DATA_DESTINATION} OPTIONAL)
# The build's drive.dat names its own work folders; the installed one names the folders beside the
# installed volumes where their unpacked trees may be put, as the fallback when a volume fails.
install(CODE [[
  set(marisole_data "${CMAKE_INSTALL_PREFIX}/share/marisole")
  file(WRITE "$ENV{DESTDIR}${marisole_data}/drive.dat.new" "${marisole_data}/disk1/|${marisole_data}/disk2/|\r\n")
  file(RENAME "$ENV{DESTDIR}${marisole_data}/drive.dat.new" "$ENV{DESTDIR}${marisole_data}/drive.dat")
  message(STATUS "Installing: $ENV{DESTDIR}${marisole_data}/drive.dat")
]])

install(FILES ${MARISOLE_DESKTOP_SOURCE}/jp.halvern.Marisole.desktop DESTINATION share/applications)
install(FILES ${MARISOLE_DESKTOP_SOURCE}/jp.halvern.Marisole.metainfo.xml DESTINATION share/metainfo)
install(FILES ${MARISOLE_DESKTOP_SOURCE}/marisole-scene.xml DESTINATION share/mime/packages)
install(DIRECTORY ${MARISOLE_ICON_DIR}/ DESTINATION share/icons/hicolor)
