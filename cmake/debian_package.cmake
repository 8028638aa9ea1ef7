# `make package`: a Debian package of the program folder, /opt/vantorel/bin, as
# `cmake --install --prefix /opt/vantorel` lays it out, with the service's unit where systemd
# finds it and the window's desktop entry. The unit is not enabled by the package.
set(VT_PACKAGE_PREFIX /opt/vantorel)
set(VT_INSTALLED_PROGRAM_DIR ${VT_PACKAGE_PREFIX}/bin)
configure_file(${CMAKE_SOURCE_DIR}/packaging/vantorel.service.in
               ${CMAKE_BINARY_DIR}/packaging/vantorel.service @ONLY)
configure_file(${CMAKE_SOURCE_DIR}/packaging/vantorel.desktop.in
               ${CMAKE_BINARY_DIR}/packaging/vantorel.desktop @ONLY)
# Only the package holds them: an install under a prefix has its own unit beside the program.
install(FILES ${CMAKE_BINARY_DIR}/packaging/vantorel.service
        DESTINATION /usr/lib/systemd/system COMPONENT package_only EXCLUDE_FROM_ALL)
install(FILES ${CMAKE_BINARY_DIR}/packaging/vantorel.desktop
        DESTINATION /usr/share/applications COMPONENT package_only EXCLUDE_FROM_ALL)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vantorel)
set(CPACK_PACKAGE_VENDOR Vantorel)
set(CPACK_PACKAGE_CONTACT "Vantorel <vantorel@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Wake-on-LAN power-on and remote shutdown of a school's PCs, by rooms and timetables")
set(CPACK_PACKAGING_INSTALL_PREFIX ${VT_PACKAGE_PREFIX})
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_COMPONENTS_ALL Unspecified package_only)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_COMPRESSION_TYPE zstd)
# The libraries' packages (Qt 6 with Charts and Network, MariaDB Connector/C, libical) from
# dpkg-shlibdeps; Samba's net, which the shutdown tool runs, by hand.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "samba-common-bin")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${CMAKE_SOURCE_DIR}/packaging/debian/postinst ${CMAKE_SOURCE_DIR}/packaging/debian/prerm
    ${CMAKE_SOURCE_DIR}/packaging/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
