# The Windows build's own parts, included by CMakeLists.txt when cross-building
# with cmake/mingw-w64.cmake.

# A windowed program (no console flashes when a calling program starts
# it) that writes to its starter's console; one file that imports only
# Windows' own DLLs; its icon (resource 7627), version and manifest.
set_target_properties(dbf2csv PROPERTIES WIN32_EXECUTABLE ON)
target_link_options(dbf2csv PRIVATE -static)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(DBF2CSV_ICO ${CMAKE_BINARY_DIR}/dbf2csv.ico)
set(DBF2CSV_PNG ${CMAKE_SOURCE_DIR}/platform/ui/qt/resources/dbf2csv.png)
add_custom_command(OUTPUT ${DBF2CSV_ICO}
  COMMAND Python3::Interpreter ${CMAKE_SOURCE_DIR}/scripts/png_to_ico.py ${DBF2CSV_PNG} ${DBF2CSV_ICO}
  DEPENDS ${DBF2CSV_PNG} ${CMAKE_SOURCE_DIR}/scripts/png_to_ico.py VERBATIM)
configure_file(${CMAKE_SOURCE_DIR}/src/windows/dbf2csv.rc.in ${CMAKE_BINARY_DIR}/dbf2csv.rc @ONLY)
set_source_files_properties(${CMAKE_BINARY_DIR}/dbf2csv.rc PROPERTIES
  OBJECT_DEPENDS "${DBF2CSV_ICO};${CMAKE_SOURCE_DIR}/src/windows/dbf2csv.manifest")
target_sources(dbf2csv PRIVATE ${CMAKE_BINARY_DIR}/dbf2csv.rc ${DBF2CSV_ICO})

# What a Windows user downloads, as a zip and as a setup program: the
# program, the licence, and as its README the manual page in plain text
# with CR LF line ends (the Markdown README reads badly in Notepad).
find_program(GROFF groff REQUIRED)
set(DBF2CSV_MANUAL_TEXT ${CMAKE_BINARY_DIR}/README.txt)
add_custom_command(OUTPUT ${DBF2CSV_MANUAL_TEXT}
  COMMAND sh -c "${GROFF} -man -Tascii -P-cbou '${doc_dir}/dbf2csv.1' | sed 's/$/\\r/' > '${DBF2CSV_MANUAL_TEXT}'"
  DEPENDS ${doc_dir}/dbf2csv.1 VERBATIM)
set(DBF2CSV_ZIP_DIR ${CMAKE_BINARY_DIR}/zip)
set(DBF2CSV_ZIP ${CMAKE_BINARY_DIR}/dbf2csv-${PROJECT_VERSION}-win64.zip)
add_custom_command(OUTPUT ${DBF2CSV_ZIP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${DBF2CSV_ZIP_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${DBF2CSV_ZIP_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:dbf2csv> ${DBF2CSV_MANUAL_TEXT} ${DBF2CSV_ZIP_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/LICENSE ${DBF2CSV_ZIP_DIR}/LICENSE.txt
  COMMAND ${CMAKE_COMMAND} -E chdir ${DBF2CSV_ZIP_DIR}
    ${CMAKE_COMMAND} -E tar cf ${DBF2CSV_ZIP} --format=zip dbf2csv.exe README.txt LICENSE.txt
  DEPENDS dbf2csv ${CMAKE_SOURCE_DIR}/LICENSE ${DBF2CSV_MANUAL_TEXT} VERBATIM)
add_custom_target(windows_zip DEPENDS ${DBF2CSV_ZIP})

# The setup program (NSIS): the same files with the icon, installed into
# Program Files with a Start menu entry and an uninstaller
# (packaging/windows/dbf2csv.nsi says what it does).
find_program(MAKENSIS makensis REQUIRED)
set(DBF2CSV_SETUP ${CMAKE_BINARY_DIR}/dbf2csv-${PROJECT_VERSION}-setup.exe)
add_custom_command(OUTPUT ${DBF2CSV_SETUP}
  COMMAND ${CMAKE_COMMAND} -E copy ${DBF2CSV_ICO} ${DBF2CSV_ZIP_DIR}
  COMMAND ${MAKENSIS} -V2 -DVERSION=${PROJECT_VERSION} "-DPUBLISHER=${CPACK_PACKAGE_VENDOR}"
    -DFILES=${DBF2CSV_ZIP_DIR} -DOUTFILE=${DBF2CSV_SETUP} ${CMAKE_SOURCE_DIR}/packaging/windows/dbf2csv.nsi
  DEPENDS ${DBF2CSV_ZIP} ${DBF2CSV_ICO} ${CMAKE_SOURCE_DIR}/packaging/windows/dbf2csv.nsi VERBATIM)
add_custom_target(windows_setup DEPENDS ${DBF2CSV_SETUP})
