# rv_sql: the engine shell: the engine, and Qt Core for the command line only.
add_executable(rv_sql ${CMAKE_CURRENT_LIST_DIR}/rv_sql.cpp)
target_link_libraries(rv_sql PRIVATE rv_jet rv_cli)
rv_warnings(rv_sql)
