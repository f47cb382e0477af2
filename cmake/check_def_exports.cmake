# Fails the build when a .def file's EXPORTS differ from the operations table, in names or order.
#   cmake -DTABLE=velno_operations.h -DDEF=Velno.def -DSTAMP=file -P check_def_exports.cmake
# Read whole: the table's lines end in a backslash, which would join them as list items.
file(READ "${TABLE}" table_text)
string(REGEX MATCHALL "\n  X\\([A-Za-z]+," table_entries "${table_text}")
set(table_names "")
foreach(entry IN LISTS table_entries)
  string(REGEX REPLACE "\n  X\\(([A-Za-z]+)," "\\1" name "${entry}")
  list(APPEND table_names "${name}")
endforeach()

file(STRINGS "${DEF}" def_lines)
set(def_names "")
set(in_exports FALSE)
foreach(line IN LISTS def_lines)
  string(STRIP "${line}" line)
  if(line STREQUAL "EXPORTS")
    set(in_exports TRUE)
  elseif(in_exports AND NOT line STREQUAL "")
    list(APPEND def_names "${line}")
  endif()
endforeach()

if(NOT table_names STREQUAL def_names)
  message(FATAL_ERROR "${DEF} exports\n  ${def_names}\nbut ${TABLE} lists\n  ${table_names}")
endif()
list(LENGTH table_names count)
file(WRITE "${STAMP}" "${count} operations\n")
