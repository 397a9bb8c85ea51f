# rv_sql: the engine shell: the engine, Qt Core for the command line only, and libedit for
# the prompt at a terminal (line editing and history).
pkg_check_modules(LIBEDIT REQUIRED IMPORTED_TARGET libedit)
add_library(rv_sql_shell STATIC ${CMAKE_CURRENT_LIST_DIR}/sql_shell.cpp)
target_include_directories(rv_sql_shell PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(rv_sql_shell PUBLIC rv_jet)
rv_warnings(rv_sql_shell)

add_executable(rv_sql ${CMAKE_CURRENT_LIST_DIR}/rv_sql.cpp)
target_link_libraries(rv_sql PRIVATE rv_jet rv_cli rv_sql_shell PkgConfig::LIBEDIT)
rv_warnings(rv_sql)
