# The core's sources, shared by the native build (CMakeLists.txt) and the
# browser build (web/CMakeLists.txt): bytes in memory only, no file or stream.
set(ZIREL_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/../src/main/output.cc
  ${CMAKE_CURRENT_LIST_DIR}/../src/table/char_table.cc
  ${CMAKE_CURRENT_LIST_DIR}/../src/table/cp932.cc
  ${CMAKE_CURRENT_LIST_DIR}/../src/table/table_text.cc
  ${CMAKE_CURRENT_LIST_DIR}/../src/rom/rom_check.cc
  ${CMAKE_CURRENT_LIST_DIR}/../src/decode/decoder.cc
  ${CMAKE_CURRENT_LIST_DIR}/../src/decode/control_codes.cc
  ${CMAKE_CURRENT_LIST_DIR}/../src/main/run.cc
)
