# bench_tree: the wizard's template tree load against the engine's queries plus a bare tree.
if(TARGET rv_templates)
  add_executable(bench_tree ${CMAKE_CURRENT_LIST_DIR}/bench_tree.cpp)
  target_link_libraries(bench_tree PRIVATE rv_templates rv_jet benchmark::benchmark Qt6::Widgets)
  rv_warnings(bench_tree)
  rv_qt_defaults(bench_tree)
endif()
