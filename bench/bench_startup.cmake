# bench_startup: cold starts from the spawn to the first paint: a bare Qt dialog, and the
# wizard with the shipped library and with libraries of 10,000 and 100,000 entries.
if(RV_BUILD_GUI)
  add_executable(startup_bare_dialog ${CMAKE_CURRENT_LIST_DIR}/startup_bare_dialog.cpp)
  target_link_libraries(startup_bare_dialog PRIVATE Qt6::Widgets)
  rv_warnings(startup_bare_dialog)
  rv_qt_defaults(startup_bare_dialog)

  add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
  target_link_libraries(bench_startup PRIVATE rv_jet benchmark::benchmark Qt6::Widgets)
  add_dependencies(bench_startup rv_makedb startup_bare_dialog base_mdb)
  rv_warnings(bench_startup)
  rv_qt_defaults(bench_startup)
endif()
