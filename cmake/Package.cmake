# `make package`: one Debian package, rv-makedb, made by CPack from the install rules
# (cmake/Install.cmake) and installed under /usr. Programs, component, headers and
# development files go together: the headers are two small files that need nothing else,
# so a split -dev package would only add a second install for the people who build hosts.
if(NOT RV_BUILD_GUI)
  return()
endif()

set(RV_PACKAGE_CONTACT "rv_makeDB developers <rv-makedb@example.org>"
    CACHE STRING "Maintainer field of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME rv-makedb)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "${RV_PACKAGE_CONTACT}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "database creation wizard for a mail and FAX address book")
# The long description: CPack puts the summary above it and formats it for the control file.
set(CPACK_PACKAGE_DESCRIPTION
    "rv_makedb creates, or extends, the password-protected SQLCipher database of a
mail and FAX distribution product. A wizard lets the user compose the
address-book fields, typed in or copied from a library of field templates,
and builds the database in one transaction; a batch mode does the same
without a window.

The package also holds the component librv_makeDB.so.0 with its C and C++
headers, pkg-config and CMake files for host programs, the template library
base.mdb, and rv_sql, a shell for the database engine's SQL dialect.")

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION database)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Depends: computed by dpkg-shlibdeps from the programs and the library.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The library's cache is refreshed by dpkg's ldconfig trigger (CPack adds ldconfig calls
# to postinst/postrm as well; both are harmless).
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/deb/triggers)
# The windows are Japanese: a font with kanji and kana makes them readable, and Qt's own
# translation puts Qt's standard buttons and menus into Japanese too.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-ipafont-gothic, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "sqlcipher")

include(CPack)
