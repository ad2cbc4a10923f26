# SQLite compiled into the Windows build, from Debian's source package of
# the version the Linux build links (scripts/sqlite-amalgamation.sh makes
# sqlite3.c once into DBF2CSV_SQLITE_DIR). Without it the build goes on and
# --format=sqlite stays refused.
set(DBF2CSV_SQLITE_DIR ${CMAKE_BINARY_DIR}/sqlite3 CACHE PATH
    "Where the SQLite amalgamation (sqlite3.c, sqlite3.h) is made and kept")
option(DBF2CSV_SQLITE_FETCH "Make the SQLite amalgamation from Debian's source when it is missing" ON)

if(DBF2CSV_SQLITE_FETCH)
  execute_process(COMMAND sh ${CMAKE_SOURCE_DIR}/scripts/sqlite-amalgamation.sh ${DBF2CSV_SQLITE_DIR}
                  RESULT_VARIABLE sqlite_result)
  if(NOT sqlite_result EQUAL 0)
    message(WARNING "No SQLite source: this dbf2csv.exe refuses --format=sqlite")
  endif()
endif()

if(EXISTS ${DBF2CSV_SQLITE_DIR}/sqlite3.c AND EXISTS ${DBF2CSV_SQLITE_DIR}/sqlite3.h)
  add_library(sqlite3 STATIC ${DBF2CSV_SQLITE_DIR}/sqlite3.c)
  target_include_directories(sqlite3 SYSTEM PUBLIC ${DBF2CSV_SQLITE_DIR})
  # The program opens one connection at a time on one thread (a batch's
  # tables are processes of their own), loads no extensions, and keeps no
  # memory statistics. SQLite's own warnings are its authors' concern and
  # must not fail a build of ours that treats warnings as errors.
  target_compile_definitions(sqlite3 PRIVATE SQLITE_THREADSAFE=0 SQLITE_OMIT_LOAD_EXTENSION
                             SQLITE_DEFAULT_MEMSTATUS=0 SQLITE_OMIT_SHARED_CACHE)
  target_compile_options(sqlite3 PRIVATE -w)
  add_library(SQLite::SQLite3 ALIAS sqlite3)
endif()
