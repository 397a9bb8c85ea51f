# bench_find: keystrokes in the template tree's find line, on a tree of 10,000 entries.
if(RV_BUILD_GUI)
  add_executable(bench_find ${CMAKE_CURRENT_LIST_DIR}/bench_find.cpp)
  target_link_libraries(bench_find PRIVATE rv_browser rv_controls benchmark::benchmark
                        Qt6::Widgets)
  add_dependencies(bench_find base_mdb)  # the library it fills is a copy of the shipped one
  rv_warnings(bench_find)
  rv_qt_defaults(bench_find)
endif()
