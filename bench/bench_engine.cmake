# bench_engine: the product database build through the engine against raw SQLCipher.
add_executable(bench_engine ${CMAKE_CURRENT_LIST_DIR}/bench_engine.cpp)
target_include_directories(bench_engine PRIVATE ${PROJECT_SOURCE_DIR}/src)
target_compile_definitions(bench_engine PRIVATE SQLITE_HAS_CODEC)
target_link_libraries(bench_engine PRIVATE rv_jet benchmark::benchmark PkgConfig::SQLCIPHER)
rv_warnings(bench_engine)
