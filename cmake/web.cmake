# The web build (`make web`, Emscripten): the converter's core as a
# WebAssembly module for a static page, beside the page's own files, in
# ${CMAKE_BINARY_DIR}/site. No dialogs, batch or processes: the module links
# only what the engines, the line format and the option reader need.

# The code pages as tables made from this machine's iconv (the Linux
# program's converter), for platform/rt/code_page_web.cpp.
find_program(DBF2CSV_PYTHON python3 REQUIRED NO_CMAKE_FIND_ROOT_PATH)
set(code_page_tables ${CMAKE_BINARY_DIR}/code_page_tables.cpp)
add_custom_command(OUTPUT ${code_page_tables}
  COMMAND ${DBF2CSV_PYTHON} ${CMAKE_SOURCE_DIR}/web/make_code_pages.py ${code_page_tables}
  DEPENDS ${CMAKE_SOURCE_DIR}/web/make_code_pages.py
  COMMENT "Code page tables from iconv")
add_library(code_page_tables OBJECT ${code_page_tables})
target_include_directories(code_page_tables PRIVATE ${CMAKE_SOURCE_DIR})

add_executable(dbf2csv_web
  web/dbf2csv_web.cpp
  web/web_export.cpp
  src/app/bytes_renderer.cpp
  src/app/code_page_choice.cpp
  src/app/line_format.cpp
  src/app/line_writer.cpp
  src/app/message_box.cpp
  src/app/open_table.cpp
  src/app/options.cpp
  src/app/output_format.cpp
  src/app/record_choice.cpp
  src/app/run_parameters.cpp
  src/app/sqlite_output_none.cpp
  src/app/typed_lines.cpp
  src/app/typed_values.cpp
  src/app/values_renderer.cpp
  src/app/where_syntax.cpp
  src/errors/message.cpp
  src/runtime/app_sys.cpp
  src/runtime/dbe_sys.cpp)
target_include_directories(dbf2csv_web PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(dbf2csv_web PRIVATE platform_db platform_ui platform_rt code_page_tables)
target_compile_definitions(dbf2csv_web PRIVATE DBF2CSV_VERSION="${PROJECT_VERSION}")
set_target_properties(dbf2csv_web PROPERTIES SUFFIX ".js" RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/site)
# The worker reads the user's files through WORKERFS, slice by slice, never
# whole.
target_link_options(dbf2csv_web PRIVATE
  -lworkerfs.js
  -sENVIRONMENT=worker
  -sALLOW_MEMORY_GROWTH=1
  -sINITIAL_MEMORY=16MB
  -sFILESYSTEM=1
  -sEXPORTED_RUNTIME_METHODS=FS,UTF8ToString,stringToUTF8,lengthBytesUTF8
  -sEXPORTED_FUNCTIONS=_malloc,_free)

# The page: its files beside the module.
foreach(file index.html page.js worker.js dbf2csv.css)
  configure_file(${CMAKE_SOURCE_DIR}/web/${file} ${CMAKE_BINARY_DIR}/site/${file} COPYONLY)
endforeach()
