# What `cmake --install` puts where (GNU layout under the prefix):
#   bin/rv_makedb, bin/rv_sql
#   lib/librv_makeDB.so.0 (+ .so), lib/pkgconfig/rv_makedb.pc, lib/cmake/rv_makeDB/
#   include/rv_makedb/rv_makedb.h (C), include/rv_makedb/make_db.h (C++)
#   share/rv_makedb/base.mdb, share/applications, share/icons, share/metainfo, share/man/man1
# The static libraries inside the component (rv_jet, rv_controls, ...) are not installed:
# a host links librv_makeDB.so alone.
if(NOT RV_BUILD_GUI)
  return()
endif()

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(RV_DATA_DIR ${CMAKE_INSTALL_DATADIR}/rv_makedb)
# The desktop and AppStream ID (reverse-DNS form; names the .desktop, icon and metainfo).
set(RV_APP_ID org.rv_makedb.wizard)

# The component finds the installed base.mdb relative to its own folder; the programs
# find the component relative to theirs. Both stay right when the tree is moved.
file(RELATIVE_PATH _rv_lib_to_data ${CMAKE_INSTALL_FULL_LIBDIR} ${CMAKE_INSTALL_FULL_DATADIR}/rv_makedb)
file(RELATIVE_PATH _rv_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
target_compile_definitions(rv_makeDB PRIVATE RV_MAKEDB_DATA_FROM_LIBDIR="${_rv_lib_to_data}")

# librv_makeDB.so.0: the ABI is the C entry point and makeDB; the soname follows the
# major version.
set_target_properties(rv_makeDB PROPERTIES VERSION ${PROJECT_VERSION}
                                           SOVERSION ${PROJECT_VERSION_MAJOR})
set_target_properties(rv_makedb PROPERTIES INSTALL_RPATH "$ORIGIN/${_rv_bin_to_lib}")

# The static libraries' symbols stay inside the component unless this tree builds the
# tests: they reach into those libraries (the message-box responder above all) and must
# share one copy of their state with the component.
if(RV_BUILD_TESTS)
  set(_rv_hide_default OFF)
else()
  set(_rv_hide_default ON)
endif()
option(RV_HIDE_INTERNALS "Export only the component's own symbols from librv_makeDB.so"
       ${_rv_hide_default})
if(RV_HIDE_INTERNALS)
  target_link_options(rv_makeDB PRIVATE "LINKER:--exclude-libs,ALL")
endif()

install(TARGETS rv_makedb rv_sql RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS rv_makeDB LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES ${PROJECT_SOURCE_DIR}/src/component/rv_makedb.h
              ${PROJECT_SOURCE_DIR}/src/component/make_db.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rv_makedb)
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/base.mdb DESTINATION ${RV_DATA_DIR})

# pkg-config: written at install time, so that it names the prefix actually installed
# into (`cmake --install --prefix`, or /usr for the package).
set(RV_PC_PREFIX "@RV_PC_PREFIX@")  # left for the install step
configure_file(${PROJECT_SOURCE_DIR}/packaging/rv_makedb.pc.in
               ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makedb.pc.in @ONLY)
install(CODE "
  set(RV_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makedb.pc.in\"
                 \"${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makedb.pc\" @ONLY)")
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makedb.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)

# CMake package: find_package(rv_makeDB CONFIG) -> rv_makeDB::rv_makeDB. Written by hand
# rather than exported, so that it names the shared library only, not the static
# libraries and Qt that the component's target links.
set(_rv_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/rv_makeDB)
configure_package_config_file(
  ${PROJECT_SOURCE_DIR}/packaging/rv_makeDBConfig.cmake.in
  ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makeDBConfig.cmake.gen
  INSTALL_DESTINATION ${_rv_cmake_dir}
  PATH_VARS CMAKE_INSTALL_LIBDIR CMAKE_INSTALL_INCLUDEDIR RV_DATA_DIR)
file(GENERATE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makeDBConfig.cmake
     INPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makeDBConfig.cmake.gen)
write_basic_package_version_file(
  ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makeDBConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makeDBConfig.cmake
              ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makeDBConfigVersion.cmake
        DESTINATION ${_rv_cmake_dir})

# The desktop: menu entry, icon, AppStream metainfo.
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${RV_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${RV_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${RV_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages, compressed as Debian ships them (man reads both).
set(_rv_man_pages)
foreach(page rv_makedb.1 rv_sql.1)
  set(_gz ${CMAKE_CURRENT_BINARY_DIR}/man/${page}.gz)
  add_custom_command(
    OUTPUT ${_gz}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/man
    COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/man/${page} > ${_gz}
    DEPENDS ${PROJECT_SOURCE_DIR}/man/${page}
    COMMENT "Compressing man page ${page}"
    VERBATIM)
  list(APPEND _rv_man_pages ${_gz})
endforeach()
add_custom_target(man_pages ALL DEPENDS ${_rv_man_pages})
install(FILES ${_rv_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
