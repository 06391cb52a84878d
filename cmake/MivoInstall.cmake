# Installing the program like a desktop program, and the Debian package made of that (cpack, from a
# Release build: ./run.sh --package). Installed, the program finds its read-only files in ../share/mivo
# beside its folder and keeps the user's records in $XDG_DATA_HOME/mivo (src/app/installation.h); the
# build's own bin folder has no ../share/mivo, so a build runs portable.

include(GNUInstallDirs)

# The name of the desktop entry, its icons and its AppStream metadata.
set(MIVO_APP_ID org.mivo.Mivo)
set(MIVO_MAINTAINER "Mivo developers <mivo@mivo.invalid>")
set(MIVO_PACKAGING ${PROJECT_SOURCE_DIR}/packaging)
# What the install takes that the build does not put beside the executable. Never bin/mivo.mdb: that
# one may hold the records of whoever ran the build.
set(MIVO_STAGE ${CMAKE_BINARY_DIR}/packaging)
set(MIVO_SHARE ${CMAKE_INSTALL_DATADIR}/mivo)

set(MIVO_STAGED)
# The empty database of a first start, made anew from the schema.
add_custom_command(OUTPUT ${MIVO_STAGE}/mivo.mdb
  COMMAND ${CMAKE_COMMAND} -E rm -f ${MIVO_STAGE}/mivo.mdb
  COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:mivo_mkdb> ${MIVO_STAGE}/mivo.mdb
  DEPENDS mivo_mkdb ${PROJECT_SOURCE_DIR}/resource/schema.sql
  COMMENT "The empty database the package ships"
  VERBATIM)
list(APPEND MIVO_STAGED ${MIVO_STAGE}/mivo.mdb)

# The menu's icons, drawn from the program's own icon.
set(MIVO_ICON_SIZES 16 32 48 64 128 256)
foreach(size ${MIVO_ICON_SIZES})
  set(icon ${MIVO_STAGE}/icons/${size}x${size}/${MIVO_APP_ID}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 $<TARGET_FILE:mivo_art> ${MIVO_ART_DIR}/i001.svg ${icon} ${size}
    DEPENDS mivo_art ${MIVO_ART_DIR}/i001.svg
    COMMENT "Drawing the ${size}-pixel menu icon"
    VERBATIM)
  list(APPEND MIVO_STAGED ${icon})
  install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()

# Compressed as Debian wants documentation: at most, without a time stamp.
function(mivo_stage_gzip source name)
  add_custom_command(OUTPUT ${MIVO_STAGE}/${name}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${MIVO_STAGE}/${name}
    COMMAND gzip -9nf ${MIVO_STAGE}/${name}
    DEPENDS ${source}
    VERBATIM)
  set(MIVO_STAGED ${MIVO_STAGED} ${MIVO_STAGE}/${name}.gz PARENT_SCOPE)
endfunction()
configure_file(${MIVO_PACKAGING}/changelog.in ${MIVO_STAGE}/changelog.txt @ONLY)
mivo_stage_gzip(${MIVO_STAGE}/changelog.txt changelog)
mivo_stage_gzip(${MIVO_PACKAGING}/mivo.1 mivo.1)
add_custom_target(mivo_install_files ALL DEPENDS ${MIVO_STAGED})

configure_file(${MIVO_PACKAGING}/mivo.desktop.in ${MIVO_STAGE}/${MIVO_APP_ID}.desktop @ONLY)
configure_file(${MIVO_PACKAGING}/mivo.metainfo.xml.in ${MIVO_STAGE}/${MIVO_APP_ID}.metainfo.xml @ONLY)

install(TARGETS mivo RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${MIVO_RUNTIME_DIR}/help.htm ${MIVO_RUNTIME_DIR}/i001.ico ${MIVO_STAGE}/mivo.mdb
        DESTINATION ${MIVO_SHARE})
install(DIRECTORY ${MIVO_RUNTIME_DIR}/resource DESTINATION ${MIVO_SHARE})
install(FILES ${MIVO_ART_DIR}/i001.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${MIVO_APP_ID}.svg)
install(FILES ${MIVO_STAGE}/${MIVO_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${MIVO_STAGE}/${MIVO_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${MIVO_STAGE}/mivo.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${MIVO_PACKAGING}/copyright ${MIVO_STAGE}/changelog.gz DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The Debian package. Its dependencies: the shared libraries the program links (dpkg-shlibdeps),
# and what it loads at run time, which no linker sees: the database driver, the platform plugins, the
# toolkit's Chinese texts, the SVG reader, a font with Chinese characters.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mivo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Mivo developers")
set(CPACK_PACKAGE_CONTACT ${MIVO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "personal information manager with a Chinese interface")
# The synopsis comes first by itself; this is the rest.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Mivo keeps a single user's personal records in one window: an address book
of contacts in groups, a notebook of titled notes, a register of personal
assets and a ledger of income and expenses with monthly statistics.
.
It lives in the tray, locks itself after a time without input and keeps
every record in one SQLite file in the user's data folder.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libqt6sql6-sqlite, qt6-qpa-plugins, qt6-translations-l10n, libqt6svg6, fonts-wqy-microhei | fonts-noto-cjk")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
