# rv_screenshots: the component's windows rendered off screen into PNGs (make screenshots).
if(TARGET rv_makeDB)
  add_executable(rv_screenshots ${CMAKE_CURRENT_LIST_DIR}/rv_screenshots.cpp)
  target_link_libraries(rv_screenshots PRIVATE rv_makeDB rv_jet Qt6::Widgets)
  if(TARGET rv_sql)
    add_dependencies(rv_screenshots base_mdb)  # data/ makes it, beside the programs
  endif()
  rv_warnings(rv_screenshots)
  rv_qt_defaults(rv_screenshots)
endif()
