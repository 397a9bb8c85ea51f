# bench_grid: the design grid's row commands and checks, per operation, at 10 to 1,000 rows.
if(RV_BUILD_GUI)
  add_executable(bench_grid ${CMAKE_CURRENT_LIST_DIR}/bench_grid.cpp)
  target_link_libraries(bench_grid PRIVATE rv_component benchmark::benchmark Qt6::Widgets)
  rv_warnings(bench_grid)
  rv_qt_defaults(bench_grid)
endif()
