# base.mdb: the field template library shipped beside the programs, made from the
# readable templates.sql by the engine shell. An unencrypted file (no password).
set(RV_BASE_MDB ${CMAKE_BINARY_DIR}/bin/base.mdb)
set(_rv_base_tmp ${RV_BASE_MDB}.tmp)

# Every nullable text column takes '' as the template store writes it (an empty size,
# an empty IME flag), so each one allows zero-length texts.
set(_rv_zero_length_args)
foreach(column KIND FIELD_ID FIELD_NAME ATTR FIELD_SIZE IME DIS_ALT_FLG)
  list(APPEND _rv_zero_length_args --allow-zero-length TEMP_FIELD.${column})
endforeach()

# Built under a temporary name and renamed at the end, so that a failed run never
# leaves a half-filled base.mdb that looks up to date.
add_custom_command(
  OUTPUT ${RV_BASE_MDB}
  COMMAND ${CMAKE_COMMAND} -E rm -f ${RV_BASE_MDB} ${_rv_base_tmp}
  COMMAND $<TARGET_FILE:rv_sql> --create ${_rv_zero_length_args} ${_rv_base_tmp}
          < ${CMAKE_CURRENT_SOURCE_DIR}/templates.sql
  COMMAND ${CMAKE_COMMAND} -E rename ${_rv_base_tmp} ${RV_BASE_MDB}
  DEPENDS rv_sql ${CMAKE_CURRENT_SOURCE_DIR}/templates.sql
  COMMENT "Building the template library base.mdb"
  VERBATIM)
add_custom_target(base_mdb ALL DEPENDS ${RV_BASE_MDB})
