# rv_makedb: the user's command; opens the wizard, or builds in batch mode, with the
# component's code linked in (it reaches past the public API of librv_makeDB.so).
if(RV_BUILD_GUI)
  add_executable(rv_makedb ${CMAKE_CURRENT_LIST_DIR}/rv_makedb.cpp)
  target_link_libraries(rv_makedb PRIVATE rv_component rv_cli Qt6::Widgets)
  rv_warnings(rv_makedb)
  rv_qt_defaults(rv_makedb)
endif()
