# What `cmake --install` puts under the prefix, and the Debian package CPack builds from it
# (`cmake --build build --target package`). The program finds its skins and sounds in
# <prefix>/share/kalvo from its own place in <prefix>/bin, so any prefix works.
set(KALVO_DATA_SOURCE ${CMAKE_SOURCE_DIR}/data)

install(TARGETS kalvo RUNTIME DESTINATION bin)
# The launcher loads the program and its splash from <prefix>/lib/kalvo.
install(TARGETS kalvo_program kalvo_splash LIBRARY DESTINATION lib/kalvo)
# The skin images' SVG sources stay in the repository.
install(DIRECTORY skins/ DESTINATION share/kalvo/Skins PATTERN src EXCLUDE)
install(DIRECTORY sounds/ DESTINATION share/kalvo/sounds)
install(DIRECTORY ${KALVO_DATA_SOURCE}/icons/hicolor DESTINATION share/icons)

# The software centres' description; its release is the project version, dated here
# (change both together).
set(KALVO_RELEASE_DATE 2026-12-08)
configure_file(${KALVO_DATA_SOURCE}/net.kalvo.Kalvo.metainfo.xml.in
  ${CMAKE_BINARY_DIR}/data/net.kalvo.Kalvo.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/data/net.kalvo.Kalvo.metainfo.xml DESTINATION share/metainfo)

# The desktop entry starts the installed executable, so its Exec line is written when the
# prefix is known: at install time, not at configure time. The path is written bare when it
# can be (launchers that split Exec at blanks, such as xdg-open without a desktop, need
# that), in double quotes when it holds a blank or another reserved character. Each
# destination gets its own generated file, so installs running side by side never copy
# each other's.
install(CODE "set(KALVO_DESKTOP_TEMPLATE \"${KALVO_DATA_SOURCE}/kalvo.desktop.in\")
  set(KALVO_GENERATED_DIR \"${CMAKE_BINARY_DIR}/data\")")
install(CODE [[
  set(kalvo_executable "${CMAKE_INSTALL_PREFIX}/bin/kalvo")
  if(kalvo_executable MATCHES "[\"`$\\\\\n]")
    message(FATAL_ERROR "The desktop entry cannot start ${kalvo_executable}: "
      "choose a prefix without \", `, $, \\ or a line break")
  endif()
  string(REPLACE "%" "%%" KALVO_INSTALLED_EXECUTABLE "${kalvo_executable}")
  if(kalvo_executable MATCHES "[ \t'<>~|&;*?#()]")
    set(KALVO_INSTALLED_EXECUTABLE "\"${KALVO_INSTALLED_EXECUTABLE}\"")
  endif()
  string(MD5 kalvo_destination "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")
  set(kalvo_entry "${KALVO_GENERATED_DIR}/${kalvo_destination}/kalvo.desktop")
  configure_file("${KALVO_DESKTOP_TEMPLATE}" "${kalvo_entry}" @ONLY)
  file(INSTALL DESTINATION "${CMAKE_INSTALL_PREFIX}/share/applications" TYPE FILE FILES "${kalvo_entry}")
]])

# A direct install refreshes the desktop's caches of the prefix; a staged one (DESTDIR, the
# package) leaves that to the system's package triggers.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    find_program(KALVO_UPDATE_DESKTOP_DATABASE update-desktop-database)
    find_program(KALVO_UPDATE_ICON_CACHE gtk-update-icon-cache)
    if(KALVO_UPDATE_DESKTOP_DATABASE)
      execute_process(COMMAND "${KALVO_UPDATE_DESKTOP_DATABASE}" -q "${CMAKE_INSTALL_PREFIX}/share/applications")
    endif()
    if(KALVO_UPDATE_ICON_CACHE)
      execute_process(COMMAND "${KALVO_UPDATE_ICON_CACHE}" -q -t -f "${CMAKE_INSTALL_PREFIX}/share/icons/hicolor")
    endif()
  endif()
]])

# The Debian package: installed to /usr, its dependencies found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kalvo)
set(CPACK_PACKAGE_VENDOR Kalvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kalvo developers <developers@kalvo.net>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Internet phone for the Kalvo voice service")
set(CPACK_PACKAGE_DESCRIPTION "Kalvo signs in to a Kalvo account, places and receives calls, \
shows waiting voice messages and carries out kalvo: links clicked in web pages.")
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# Staged with DESTDIR, so the install code above sees the package's prefix, /usr.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)
