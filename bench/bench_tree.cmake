# bench_tree: the wizard's template tree load against the engine's queries plus a bare tree.
if(RV_BUILD_GUI)
  add_executable(bench_tree ${CMAKE_CURRENT_LIST_DIR}/bench_tree.cpp)
  target_link_libraries(bench_tree PRIVATE rv_browser rv_jet benchmark::benchmark Qt6::Widgets)
  add_dependencies(bench_tree base_mdb)  # the library it fills is a copy of the shipped one
  rv_warnings(bench_tree)
  rv_qt_defaults(bench_tree)
endif()
