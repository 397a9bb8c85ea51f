# bench_browser: the template browser's opening and a folder's deletion against the engine.
if(RV_BUILD_GUI)
  add_executable(bench_browser ${CMAKE_CURRENT_LIST_DIR}/bench_browser.cpp)
  target_link_libraries(bench_browser PRIVATE rv_browser rv_jet benchmark::benchmark
                        Qt6::Widgets)
  add_dependencies(bench_browser base_mdb)  # the library it fills is a copy of the shipped one
  rv_warnings(bench_browser)
  rv_qt_defaults(bench_browser)
endif()
