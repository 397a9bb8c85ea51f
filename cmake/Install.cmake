# What `cmake --install` puts where (GNU layout under the prefix; the library folder is
# Debian's multiarch one, lib/<triplet>, where the compiler names one), and the component
# of each file, one Debian package each (cmake/Package.cmake):
#   library   lib/<triplet>/librv_makeDB.so.0                              librv-makedb0
#   dev       include/rv_makedb/*.h, lib/<triplet>/librv_makeDB.so,
#             lib/<triplet>/pkgconfig/rv_makedb.pc, lib/<triplet>/cmake/rv_makeDB/
#                                                                          librv-makedb-dev
#   programs  bin/rv_makedb, bin/rv_sql, lib/<triplet>/rv_makedb/rv_jetread,
#             share/rv_makedb/base.mdb, share/applications,
#             share/icons, share/metainfo, share/man/man1                   rv-makedb
# The static libraries (rv_component, rv_jet, ...) are not installed: a host links
# librv_makeDB.so alone, the programs carry what they use inside.
if(NOT RV_BUILD_GUI)
  return()
endif()

include(GNUInstallDirs)  # CMAKE_INSTALL_LIBDIR: the top CMakeLists sets it first
include(CMakePackageConfigHelpers)

set(RV_DATA_DIR ${CMAKE_INSTALL_DATADIR}/rv_makedb)
# The desktop and AppStream ID (reverse-DNS form; names the .desktop, icon and metainfo).
set(RV_APP_ID org.rv_makedb.wizard)
# The release date (metainfo, Debian changelog).
set(RV_RELEASE_DATE 2026-12-07)
# A homepage that does not exist is worse than none: the packages, their copyright file and
# the metainfo name one (and the metainfo its screenshots under it) only when it is given.
set(RV_HOMEPAGE "" CACHE STRING
    "The project's homepage, with screenshots/*.png from `make screenshots` published under it; empty leaves it out")
# The maintainer of the packages, "Name <address>": whoever builds and hands them out
# answers for them. Unless given, it is taken as Debian's own tools take it (DEBFULLNAME and
# DEBEMAIL), else from git: the name and address configured for this clone, else the author
# of the commit being built.
if(NOT RV_PACKAGE_CONTACT)
  set(_rv_contact "")
  if(DEFINED ENV{DEBEMAIL} AND "$ENV{DEBEMAIL}" MATCHES "<")
    set(_rv_contact "$ENV{DEBEMAIL}")
  elseif(DEFINED ENV{DEBEMAIL} AND DEFINED ENV{DEBFULLNAME})
    set(_rv_contact "$ENV{DEBFULLNAME} <$ENV{DEBEMAIL}>")
  else()
    find_package(Git QUIET)
    if(GIT_FOUND)
      foreach(_rv_ask "config user.name;config user.email" "log -1 --format=%an;log -1 --format=%ae")
        set(_rv_parts "")
        foreach(_rv_args IN LISTS _rv_ask)
          separate_arguments(_rv_args)
          execute_process(COMMAND ${GIT_EXECUTABLE} ${_rv_args} WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                          OUTPUT_VARIABLE _rv_out OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
          list(APPEND _rv_parts "${_rv_out}")
        endforeach()
        list(GET _rv_parts 0 _rv_name)
        list(GET _rv_parts 1 _rv_mail)
        if(_rv_name AND _rv_mail)
          set(_rv_contact "${_rv_name} <${_rv_mail}>")
          break()
        endif()
      endforeach()
    endif()
  endif()
  set(RV_PACKAGE_CONTACT "${_rv_contact}" CACHE STRING
      "Maintainer of the Debian packages, \"Name <address>\" (default: DEBFULLNAME/DEBEMAIL, else git)" FORCE)
endif()

# The component finds the installed base.mdb relative to the file its code is in: the
# library, or a program that links the component in. Both stay right when the tree moves.
file(RELATIVE_PATH _rv_lib_to_data ${CMAKE_INSTALL_FULL_LIBDIR} ${CMAKE_INSTALL_FULL_DATADIR}/rv_makedb)
file(RELATIVE_PATH _rv_bin_to_data ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_DATADIR}/rv_makedb)
target_compile_definitions(rv_component PRIVATE RV_MAKEDB_DATA_FROM_LIBDIR="${_rv_lib_to_data}"
                                                RV_MAKEDB_DATA_FROM_BINDIR="${_rv_bin_to_data}")

# librv_makeDB.so.0: the ABI is the C entry point and makeDB (src/component/rv_makeDB.map);
# the soname follows the major version.
set_target_properties(rv_makeDB PROPERTIES VERSION ${PROJECT_VERSION}
                                           SOVERSION ${PROJECT_VERSION_MAJOR})

install(TARGETS rv_makedb rv_sql RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT programs)
# The Jet file reader, a program of the programs' own (the library and rv_makedb start it
# to read the Windows system's files): the one file that links mdbtools, whose package
# dpkg-shlibdeps adds to the Depends of rv-makedb.
install(TARGETS rv_jetread RUNTIME DESTINATION ${RV_JETREAD_DIR} COMPONENT programs)
install(TARGETS rv_makeDB LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
                          COMPONENT library NAMELINK_COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/src/component/rv_makedb.h
              ${PROJECT_SOURCE_DIR}/src/component/make_db.h
              ${PROJECT_SOURCE_DIR}/src/component/rv_makedb_export.h
        DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/rv_makedb COMPONENT dev)
install(FILES ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/base.mdb DESTINATION ${RV_DATA_DIR}
        COMPONENT programs)

# pkg-config: written at install time, so that it names the prefix actually installed
# into (`cmake --install --prefix`, or /usr for the packages).
set(RV_PC_PREFIX "@RV_PC_PREFIX@")  # left for the install step
configure_file(${PROJECT_SOURCE_DIR}/packaging/rv_makedb.pc.in
               ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makedb.pc.in @ONLY)
install(CODE "
  set(RV_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makedb.pc.in\"
                 \"${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makedb.pc\" @ONLY)"
        COMPONENT dev)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/rv_makedb.pc
        DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

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
        DESTINATION ${_rv_cmake_dir} COMPONENT dev)

# The desktop: menu entry, icon, AppStream metainfo (with this version and date). The
# homepage and the screenshots published under it stand between <!--homepage--> lines,
# kept only when RV_HOMEPAGE is given (`make screenshots` renders the pictures).
file(READ ${PROJECT_SOURCE_DIR}/packaging/${RV_APP_ID}.metainfo.xml.in _rv_metainfo)
if(RV_HOMEPAGE)
  string(REGEX REPLACE " *<!--/?homepage-->\n" "" _rv_metainfo "${_rv_metainfo}")
else()
  string(REGEX REPLACE " *<!--homepage-->.*<!--/homepage-->\n" "" _rv_metainfo "${_rv_metainfo}")
endif()
file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/packaging/${RV_APP_ID}.metainfo.xml
     CONTENT "${_rv_metainfo}" @ONLY)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${RV_APP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications COMPONENT programs)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/${RV_APP_ID}.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT programs)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/packaging/${RV_APP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT programs)

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
install(FILES ${_rv_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT programs)
