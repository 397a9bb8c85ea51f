# bench_server_build: OK with N new fields on a database of a private PostgreSQL server,
# against psql replaying the statements the build sent, in one transaction.
if(RV_BUILD_GUI)
  add_executable(bench_server_build ${CMAKE_CURRENT_LIST_DIR}/bench_server_build.cpp
                                    ${PROJECT_SOURCE_DIR}/tests/support/pg_server.cpp)
  target_include_directories(bench_server_build PRIVATE ${PROJECT_SOURCE_DIR}/tests/support)
  target_link_libraries(bench_server_build PRIVATE rv_wizard benchmark::benchmark
                        PkgConfig::LIBPQ Qt6::Widgets)
  rv_warnings(bench_server_build)
  rv_qt_defaults(bench_server_build)
endif()
