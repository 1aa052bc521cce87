# The Debian package, made with `cpack -G DEB` from a build configured with
# -DCMAKE_INSTALL_PREFIX=/usr -DZRV_INSTALL_LIBDIR=lib/zorva-fortune
# -DZRV_REGISTER_ON_INSTALL=OFF (tools/build-deb.sh does exactly that).
# Maintainer scripts register the components in the machine hive at install
# and unregister them at removal.

set(ZRV_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)

foreach(page fortedit.1 zrvreg.1 zrvregsvr.1)
    zrv_install_man_page(${ZRV_PACKAGING_DIR}/man/${page})
endforeach()

# Debian wants the copyright file and a compressed changelog (a native
# package's: changelog.gz) in the docs folder.
set(ZRV_DEB_DOCDIR ${CMAKE_INSTALL_DATADIR}/doc/zorva-fortune)
set(ZRV_DEB_CHANGELOG ${PROJECT_BINARY_DIR}/packaging/changelog.gz)
add_custom_command(OUTPUT ${ZRV_DEB_CHANGELOG}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PROJECT_BINARY_DIR}/packaging
    COMMAND gzip -n -9 -c ${ZRV_PACKAGING_DIR}/debian/changelog > ${ZRV_DEB_CHANGELOG}
    DEPENDS ${ZRV_PACKAGING_DIR}/debian/changelog VERBATIM)
add_custom_target(zrv_deb_changelog ALL DEPENDS ${ZRV_DEB_CHANGELOG})
install(FILES ${ZRV_PACKAGING_DIR}/debian/copyright ${ZRV_DEB_CHANGELOG} DESTINATION ${ZRV_DEB_DOCDIR})

set(CPACK_PACKAGE_NAME zorva-fortune)
set(CPACK_PACKAGE_VENDOR "ZorvaTools")
set(CPACK_PACKAGE_CONTACT "Zorva Fortune maintainers <maintainers@zorva-fortune.invalid>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for fortune archives")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zorva Fortune keeps fortune archives: plain files holding a free-text
header and an ordered list of short texts separated by lines holding only
a percent sign. It brings the archive component zrvfort, the Qt editor
fortedit and the command-line tools of its registry.")
# Loaded at run time, so dpkg-shlibdeps cannot see them: Qt's platform
# plugins, and xdg-open for documents and web addresses.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://zorva-fortune.invalid/")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_INSTALL_PREFIX}/${ZRV_INSTALL_LIBDIR})
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA
    ${ZRV_PACKAGING_DIR}/debian/postinst ${ZRV_PACKAGING_DIR}/debian/prerm ${ZRV_PACKAGING_DIR}/debian/postrm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
include(CPack)
