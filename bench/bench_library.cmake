# bench_library: export and import of the template library against the same rows read and
# written through the engine.
if(RV_BUILD_GUI)
  add_executable(bench_library ${CMAKE_CURRENT_LIST_DIR}/bench_library.cpp)
  target_link_libraries(bench_library PRIVATE rv_templates rv_jet benchmark::benchmark Qt6::Widgets)
  add_dependencies(bench_library base_mdb)  # the libraries it fills are copies of the shipped one
  rv_warnings(bench_library)
  rv_qt_defaults(bench_library)
endif()
