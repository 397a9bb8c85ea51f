# rv_cli: the programs' command lines on Qt Core's parser, one table of options each.
add_library(rv_cli STATIC
  ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
  ${CMAKE_CURRENT_LIST_DIR}/password.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rv_makedb_args.cpp
  ${CMAKE_CURRENT_LIST_DIR}/rv_sql_args.cpp)
target_include_directories(rv_cli PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(rv_cli PUBLIC Qt6::Core rv_jet)
rv_warnings(rv_cli)
rv_qt_defaults(rv_cli)
