# `make package`: three Debian packages from one build, made by CPack from the install
# components of cmake/Install.cmake, installed under /usr:
#   librv-makedb0     the component librv_makeDB.so.0 (multiarch library folder)
#   librv-makedb-dev  headers, the .so link, pkg-config and CMake files; needs librv-makedb0
#   rv-makedb         the programs, base.mdb, menu entry, icon, metainfo, man pages
# and a -dbgsym package of each one with programs or libraries (.ddeb, the debug
# information that CPack strips from them). Each carries the machine-readable copyright
# and the Debian changelog; the library carries a symbols and a shlibs file and the
# ldconfig trigger (no maintainer scripts: cmake/DebFinish.cmake drops CPack's).
if(NOT RV_BUILD_GUI)
  return()
endif()

set(RV_DEB_RELEASE 1)
set(RV_DEB_VERSION ${PROJECT_VERSION}-${RV_DEB_RELEASE})
set(RV_COPYRIGHT "2026 The rv_makeDB developers")
set(_rv_lib_package librv-makedb${PROJECT_VERSION_MAJOR})
set(_rv_pkg_out ${CMAKE_CURRENT_BINARY_DIR}/packaging/deb)

# DEP-5 copyright: the licence text of LICENSE, below its title and copyright lines, in the
# control-file form (each line indented, an empty line as " .").
file(STRINGS ${PROJECT_SOURCE_DIR}/LICENSE _rv_license_lines)
list(SUBLIST _rv_license_lines 3 -1 _rv_license_lines)  # after "MIT License", "", "Copyright ..."
set(RV_LICENSE_TEXT "")
foreach(line IN LISTS _rv_license_lines)
  if(line STREQUAL "")
    set(line ".")
  endif()
  string(APPEND RV_LICENSE_TEXT " ${line}\n")
endforeach()
string(STRIP "${RV_LICENSE_TEXT}" RV_LICENSE_TEXT)
string(PREPEND RV_LICENSE_TEXT " ")
set(RV_COPYRIGHT_SOURCE "")  # the Source field is optional: only a homepage that exists
if(RV_HOMEPAGE)
  set(RV_COPYRIGHT_SOURCE "Source: ${RV_HOMEPAGE}\n")
endif()
configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/copyright.in ${_rv_pkg_out}/copyright @ONLY)

# The Debian changelog, dated at the release date (RFC 5322 form at noon UTC).
execute_process(COMMAND date -u -R -d "${RV_RELEASE_DATE} 12:00:00 UTC"
                OUTPUT_VARIABLE RV_DEB_DATE OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/changelog.in ${_rv_pkg_out}/changelog @ONLY)
add_custom_command(
  OUTPUT ${_rv_pkg_out}/changelog.Debian.gz
  COMMAND gzip -9nc ${_rv_pkg_out}/changelog > ${_rv_pkg_out}/changelog.Debian.gz
  DEPENDS ${_rv_pkg_out}/changelog
  VERBATIM)
add_custom_target(deb_changelog ALL DEPENDS ${_rv_pkg_out}/changelog.Debian.gz)

configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/symbols.in ${_rv_pkg_out}/symbols @ONLY)
configure_file(${PROJECT_SOURCE_DIR}/packaging/deb/shlibs.in ${_rv_pkg_out}/shlibs @ONLY)

# Copyright and changelog into each package's documentation folder, and its lintian
# override: for the packages only (component installs), not for a plain `cmake --install`.
# The one override is initial-upload-closes-no-bugs: these packages are not uploaded to
# Debian's archive, so there is no "intent to package" bug for the first entry to close.
foreach(pair "library;${_rv_lib_package}" "dev;librv-makedb-dev" "programs;rv-makedb")
  list(GET pair 0 component)
  list(GET pair 1 package)
  install(FILES ${_rv_pkg_out}/copyright ${_rv_pkg_out}/changelog.Debian.gz
          DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${package}
          COMPONENT ${component} EXCLUDE_FROM_ALL)
  file(WRITE ${_rv_pkg_out}/overrides/${package}
       "# Not uploaded to Debian's archive: no intent-to-package bug to close.\n"
       "${package}: initial-upload-closes-no-bugs\n")
  install(FILES ${_rv_pkg_out}/overrides/${package}
          DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
          COMPONENT ${component} EXCLUDE_FROM_ALL)
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rv-makedb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
if(NOT RV_PACKAGE_CONTACT MATCHES "^[^<>]+ <[^<>@ ]+@[^<>@ ]+>$")
  message(WARNING "RV_PACKAGE_CONTACT is \"${RV_PACKAGE_CONTACT}\", not \"Name <address>\": "
                  "give it (-DRV_PACKAGE_CONTACT=...) or set DEBFULLNAME and DEBEMAIL before "
                  "`make package`.")
endif()
set(CPACK_PACKAGE_CONTACT "${RV_PACKAGE_CONTACT}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
# Not stripped at install: CPack's debug-package step splits the debug information off
# into the -dbgsym packages and strips the files itself.
set(CPACK_STRIP_FILES OFF)
set(CPACK_POST_BUILD_SCRIPTS ${PROJECT_SOURCE_DIR}/cmake/DebFinish.cmake)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL library dev programs)
set(CPACK_COMPONENTS_GROUPING IGNORE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${RV_DEB_RELEASE})
set(CPACK_DEBIAN_PACKAGE_SOURCE rv-makedb)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
if(RV_HOMEPAGE)
  set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${RV_HOMEPAGE})
endif()
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_DEBUGINFO_PACKAGE ON)

# librv-makedb0. Depends from dpkg-shlibdeps; the library's own shlibs and symbols, and
# dpkg's ldconfig trigger (CPack's GENERATE_SHLIBS would add ldconfig maintainer scripts).
set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${_rv_lib_package})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_MULTIARCH same)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
    ${_rv_pkg_out}/shlibs ${_rv_pkg_out}/symbols ${PROJECT_SOURCE_DIR}/packaging/deb/triggers)
# The windows are Japanese: a font with kanji and kana makes them readable, and Qt's own
# translation puts Qt's standard buttons and menus into Japanese too.
# libpq5 is loaded only when a database or library on a PostgreSQL server is named.
set(CPACK_DEBIAN_LIBRARY_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n, libpq5")
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SUGGESTS "rv-makedb")
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION "database creation wizard for a mail and FAX address book - library
librv_makeDB.so.0 opens, from a host program, the wizard that creates or
extends the password-protected SQLCipher database of a mail and FAX
distribution product: the user composes the address-book fields, typed in or
copied from a library of field templates, and the database is built in one
transaction.

This package holds the shared library. Its interface is one C++ class,
makeDB, and two C functions for C and every language that can call C.")

# librv-makedb-dev: no programs, hence no shlibs; the exact library beside it.
set(CPACK_DEBIAN_DEV_PACKAGE_NAME librv-makedb-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_MULTIARCH same)
set(CPACK_DEBIAN_DEV_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "${_rv_lib_package} (= ${RV_DEB_VERSION})")
# The template library that the examples open comes with the programs.
set(CPACK_DEBIAN_DEV_PACKAGE_RECOMMENDS "rv-makedb")
set(CPACK_DEBIAN_DEV_DESCRIPTION "database creation wizard for a mail and FAX address book - development files
librv_makeDB.so.0 opens, from a host program, the wizard that creates or
extends the password-protected SQLCipher database of a mail and FAX
distribution product.

This package holds what a host program is built with: the C header
<rv_makedb/rv_makedb.h>, the C++ header <rv_makedb/make_db.h>, the link to
the library, the pkg-config file rv_makedb.pc and the CMake package
rv_makeDB (find_package(rv_makeDB CONFIG)).")

# rv-makedb: the programs carry the component inside; Depends from dpkg-shlibdeps.
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_NAME rv-makedb)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_MULTIARCH foreign)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_RECOMMENDS
    "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n, libpq5")
set(CPACK_DEBIAN_PROGRAMS_PACKAGE_SUGGESTS "sqlcipher, postgresql-client")
set(CPACK_DEBIAN_PROGRAMS_DESCRIPTION "database creation wizard for a mail and FAX address book
rv_makedb creates, or extends, the password-protected SQLCipher database of a
mail and FAX distribution product. A wizard lets the user compose the
address-book fields, typed in or copied from a library of field templates,
and builds the database in one transaction; a batch mode does the same
without a window.

The package also holds the template library base.mdb, and rv_sql, a shell
for the database engine's SQL dialect.")

include(CPack)
