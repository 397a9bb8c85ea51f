# rv_sql: the engine shell. Engine only, no Qt.
add_executable(rv_sql ${CMAKE_CURRENT_LIST_DIR}/rv_sql.cpp)
target_link_libraries(rv_sql PRIVATE rv_jet)
rv_warnings(rv_sql)
