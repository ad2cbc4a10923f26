# Installation and packages. Where every file of dbf2csv goes on a system
# (`make install`), and the packages `make package` builds with CPack:
#   dbf2csv     the program, its manual page, README, copyright, changelog;
#               needs only the C and C++ libraries and recommends dbf2csv-qt
#   dbf2csv-qt  the Qt backend module, the desktop entry, the icon and the
#               MIME type of DBF tables; needs dbf2csv of the same version
# The version is the project's (CMakeLists.txt); CHANGELOG.md must have its
# entry, whose date is the release date of the manual page and changelog.
include(GNUInstallDirs)

# Installing and packaging take what is built; they do not build everything
# first (the tests among it): `make install` and `make package` build what
# they ship.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)

set(DBF2CSV_MAINTAINER "dbf2csv authors <dbf2csv@example.org>")

# The latest release of CHANGELOG.md, which must be this version. An
# "## [Unreleased]" section above it gathers what the next release brings.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
file(STRINGS ${CMAKE_SOURCE_DIR}/CHANGELOG.md releases REGEX "^## \\[[0-9]")
list(GET releases 0 latest)
if(NOT latest MATCHES "^## \\[([^]]+)\\] - ([0-9]+-[0-9]+-[0-9]+)$"
   OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "CHANGELOG.md: the latest release must read \"## [${PROJECT_VERSION}] - YYYY-MM-DD\", "
                      "not \"${latest}\"")
endif()
set(DBF2CSV_RELEASE_DATE ${CMAKE_MATCH_2})

# Documents as Debian ships them: gzip'd, without name or time in the header.
# The manual page is kept as its reader sees it (`man -l docs/dbf2csv.1`):
# its title line carries this version and the release date, checked here.
set(doc_dir ${CMAKE_BINARY_DIR}/doc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/dbf2csv.1)
file(STRINGS ${CMAKE_SOURCE_DIR}/docs/dbf2csv.1 manual_title LIMIT_COUNT 1)
set(expected_title ".TH DBF2CSV 1 \"${DBF2CSV_RELEASE_DATE}\" \"dbf2csv ${PROJECT_VERSION}\" \"User Commands\"")
if(NOT manual_title STREQUAL expected_title)
  message(FATAL_ERROR "docs/dbf2csv.1: the first line must read '${expected_title}', not '${manual_title}'")
endif()
configure_file(${CMAKE_SOURCE_DIR}/docs/dbf2csv.1 ${doc_dir}/dbf2csv.1 COPYONLY)
include(${CMAKE_CURRENT_LIST_DIR}/debian_changelog.cmake)
debian_changelog(${CMAKE_SOURCE_DIR}/CHANGELOG.md ${doc_dir}/changelog dbf2csv "${DBF2CSV_MAINTAINER}")
foreach(doc dbf2csv.1 changelog)
  add_custom_command(OUTPUT ${doc_dir}/${doc}.gz
    COMMAND gzip -9nkf ${doc}
    DEPENDS ${doc_dir}/${doc} WORKING_DIRECTORY ${doc_dir} VERBATIM)
  list(APPEND gzipped_docs ${doc_dir}/${doc}.gz)
endforeach()
add_custom_target(dbf2csv_docs ALL DEPENDS ${gzipped_docs})

# dbf2csv
install(TARGETS dbf2csv RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
install(FILES ${doc_dir}/dbf2csv.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
install(FILES README.md packaging/copyright ${doc_dir}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/dbf2csv COMPONENT program)
set(components program)

# dbf2csv-qt. The module lies in the program's private directory for
# architecture-dependent files (/usr/lib/x86_64-linux-gnu/dbf2csv), where
# backend_module_posix.cpp looks: DBF2CSV_INSTALLED_MODULES, from the prefix.
if(TARGET dbf2csv_qt)
  if(CMAKE_LIBRARY_ARCHITECTURE)
    set(module_dir lib/${CMAKE_LIBRARY_ARCHITECTURE}/dbf2csv)
  else()
    set(module_dir ${CMAKE_INSTALL_LIBDIR}/dbf2csv)
  endif()
  target_compile_definitions(platform_ui PRIVATE DBF2CSV_INSTALLED_MODULES="${module_dir}")
  install(TARGETS dbf2csv_qt LIBRARY DESTINATION ${module_dir} COMPONENT qt
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
  install(FILES packaging/dbf2csv.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT qt)
  install(FILES platform/ui/qt/resources/dbf2csv.png
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/64x64/apps COMPONENT qt)
  install(FILES packaging/dbf2csv-mime.xml DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/mime/packages
    RENAME dbf2csv.xml COMPONENT qt)
  install(FILES packaging/copyright ${doc_dir}/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/dbf2csv-qt COMPONENT qt)
  install(FILES packaging/lintian/dbf2csv-qt DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
    COMPONENT qt)
  list(APPEND components qt)
endif()

# CPack: one package per component, the version the project's.
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME dbf2csv)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "dbf2csv authors")
set(CPACK_PACKAGE_CONTACT "${DBF2CSV_MAINTAINER}")
set(CPACK_COMPONENTS_ALL ${components})
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/packages)
# The first line of a description is its summary.
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "convert a DBF table into a CSV file beside it
dbf2csv converts one table of the DBF family (dBase III, IV, 5 and 7,
FoxBASE, FoxPro 2, Visual FoxPro; memo fields in DBT or FPT files) into a
comma-delimited text file beside it, with an optional line of field names.
It runs without a user on servers and in scripts, asks on a terminal, and
shows windows under a desktop when dbf2csv-qt is installed.")
set(CPACK_COMPONENT_QT_DESCRIPTION "windows and desktop entry of dbf2csv
The windows of dbf2csv (the table selection dialog, the progress window and
the message boxes) as a Qt 6 module the program loads when it runs under a
desktop, with a menu entry and an \"Open with\" entry for DBF tables in the
file manager.")

if(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  # Debian packages dbf2csv_VERSION_ARCH.deb and dbf2csv-qt_VERSION_ARCH.deb.
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEB_COMPONENT_INSTALL ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION utils)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${DBF2CSV_MAINTAINER}")
  set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME dbf2csv)
  set(CPACK_DEBIAN_PROGRAM_PACKAGE_RECOMMENDS dbf2csv-qt)
  set(CPACK_DEBIAN_QT_PACKAGE_NAME dbf2csv-qt)
  set(CPACK_DEBIAN_QT_PACKAGE_SECTION x11)
  set(CPACK_DEBIAN_QT_PACKAGE_DEPENDS "dbf2csv (= ${PROJECT_VERSION})")
endif()
# The Windows build's setup program is one more branch here: the NSIS
# generator and its CPACK_NSIS_* settings, on the same components.

include(CPack)
