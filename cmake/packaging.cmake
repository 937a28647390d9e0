# The Debian package (cpack -G DEB in the build tree; tools/dev.sh package):
# the program in /usr/bin, its menu entry, icon, AppStream metadata, manual
# page and the operator's manual. Run dependencies come from dpkg-shlibdeps;
# the fonts the chart is printed with and the CUPS client are named here.
# The hicolor PNG icons are drawn from the SVG by rsvg-convert (librsvg2-bin);
# without it nothing is installed and no package can be made.

find_program(RSVG_CONVERT rsvg-convert)
find_program(GZIP gzip)
if(NOT RSVG_CONVERT OR NOT GZIP)
  message(STATUS "rsvg-convert or gzip not found: no install rules, no Debian package")
  return()
endif()

set(TESSIVO_APP_ID org.tessivo.Tessivo)
set(TESSIVO_PACKAGE_CONTACT "Tessivo developers <tessivo@example.org>"
    CACHE STRING "Maintainer of the Debian package (name <address>)")
set(PKG_SRC ${PROJECT_SOURCE_DIR}/packaging/linux)
set(PKG_GEN ${PROJECT_BINARY_DIR}/packaging)
set(DOC_DIR share/doc/tessivo)

# lintian wants 0755 directories and 0644 files whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS ${CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS})

install(TARGETS tessivo RUNTIME DESTINATION bin)
install(FILES ${PKG_SRC}/${TESSIVO_APP_ID}.desktop DESTINATION share/applications)
configure_file(${PKG_SRC}/${TESSIVO_APP_ID}.metainfo.xml ${PKG_GEN}/${TESSIVO_APP_ID}.metainfo.xml
               @ONLY)
install(FILES ${PKG_GEN}/${TESSIVO_APP_ID}.metainfo.xml DESTINATION share/metainfo)

set(icons)
install(FILES ${PKG_SRC}/tessivo.svg DESTINATION share/icons/hicolor/scalable/apps
        RENAME ${TESSIVO_APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
  set(png ${PKG_GEN}/icons/${size}/${TESSIVO_APP_ID}.png)
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${PKG_GEN}/icons/${size}
    COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${PKG_SRC}/tessivo.svg
    DEPENDS ${PKG_SRC}/tessivo.svg VERBATIM)
  list(APPEND icons ${png})
  install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
endforeach()

# Debian's documentation files, compressed as policy asks (gzip -9n).
configure_file(${PKG_SRC}/tessivo.1 ${PKG_GEN}/tessivo.1 @ONLY)
configure_file(${PKG_SRC}/changelog ${PKG_GEN}/changelog @ONLY)
set(compressed)
foreach(pair "tessivo.1;tessivo.1.gz" "changelog;changelog.gz")
  list(GET pair 0 from)
  list(GET pair 1 to)
  add_custom_command(OUTPUT ${PKG_GEN}/${to}
    COMMAND sh -c "${GZIP} -9n -c '${PKG_GEN}/${from}' > '${PKG_GEN}/${to}'"
    DEPENDS ${PKG_GEN}/${from} VERBATIM)
  list(APPEND compressed ${PKG_GEN}/${to})
endforeach()
add_custom_target(tessivo_package_files ALL DEPENDS ${icons} ${compressed})
install(FILES ${PKG_GEN}/tessivo.1.gz DESTINATION share/man/man1)
install(FILES ${PKG_GEN}/changelog.gz ${PKG_SRC}/copyright ${PKG_SRC}/tessivo.conf.example
              ${PROJECT_SOURCE_DIR}/docs/manual.ja.md
        DESTINATION ${DOC_DIR})
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/images DESTINATION ${DOC_DIR}
        FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${TESSIVO_PACKAGE_CONTACT}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "ECG-room chart printing program")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessivo prints one examinee's attributes, typed by the operator, at fixed
positions onto a pre-printed FT-70 ECG chart sheet, keeps every registered
examinee in its history files, and finds, lists, reopens, deletes and
batch-prints them. Its windows and messages are in Japanese.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-ipafont-gothic, fonts-ipafont-mincho, cups-client")
# Qt's own dialogs (the print dialog) in Japanese.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
include(CPack)
