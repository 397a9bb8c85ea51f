# bench_jet_import: --import-jet of the 1,000-address fixture, against reading the same rows
# with mdbtools and inserting them with prepared statements in one transaction.
if(RV_BUILD_GUI)
  add_executable(bench_jet_import ${CMAKE_CURRENT_LIST_DIR}/bench_jet_import.cpp)
  target_compile_definitions(bench_jet_import PRIVATE SQLITE_HAS_CODEC
                             RV_JET_FIXTURE="${PROJECT_SOURCE_DIR}/tests/data/jet/product.mdb")
  target_link_libraries(bench_jet_import PRIVATE rv_productdb benchmark::benchmark
                        PkgConfig::SQLCIPHER PkgConfig::MDBTOOLS)
  add_dependencies(bench_jet_import rv_jetread)
  rv_warnings(bench_jet_import)
  rv_qt_defaults(bench_jet_import)
endif()
