# rv_screenshots: the component's windows rendered off screen into PNGs (make screenshots).
if(RV_BUILD_GUI)
  add_executable(rv_screenshots ${CMAKE_CURRENT_LIST_DIR}/rv_screenshots.cpp)
  target_link_libraries(rv_screenshots PRIVATE rv_component Qt6::Widgets)
  add_dependencies(rv_screenshots base_mdb)  # data/ makes it, beside the programs
  rv_warnings(rv_screenshots)
  rv_qt_defaults(rv_screenshots)
endif()
