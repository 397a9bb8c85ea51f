# bench_build: OK with N new fields through the grid's rows and the builder, against raw SQLCipher.
if(RV_BUILD_GUI)
  add_executable(bench_build ${CMAKE_CURRENT_LIST_DIR}/bench_build.cpp)
  target_compile_definitions(bench_build PRIVATE SQLITE_HAS_CODEC)
  target_link_libraries(bench_build PRIVATE rv_wizard benchmark::benchmark PkgConfig::SQLCIPHER
                        Qt6::Widgets)
  rv_warnings(bench_build)
  rv_qt_defaults(bench_build)
endif()
