# bench_startup: the wizard's cold start, rv_makedb started afresh with the bundled base.mdb.
if(RV_BUILD_GUI)
  add_executable(bench_startup ${CMAKE_CURRENT_LIST_DIR}/bench_startup.cpp)
  target_link_libraries(bench_startup PRIVATE benchmark::benchmark)
  add_dependencies(bench_startup rv_makedb base_mdb)
  rv_warnings(bench_startup)
endif()
