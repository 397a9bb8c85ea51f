# rv_makedb: the user's command; opens the wizard through the component.
if(RV_BUILD_GUI)
  add_executable(rv_makedb ${CMAKE_CURRENT_LIST_DIR}/rv_makedb.cpp)
  target_link_libraries(rv_makedb PRIVATE rv_makeDB rv_cli Qt6::Widgets)
  rv_warnings(rv_makedb)
  rv_qt_defaults(rv_makedb)
endif()
