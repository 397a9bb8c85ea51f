# Run by CPack after it has made the packages (CPACK_POST_BUILD_SCRIPTS), on each .deb and
# -dbgsym .ddeb:
# - drops the postinst and postrm that CPack writes for a library in /usr/lib to call
#   ldconfig: Debian refreshes the cache through dpkg's ldconfig trigger instead, which the
#   library package declares (packaging/deb/triggers);
# - removes the .comment section (compiler versions) from the ELF files, as dh_strip does,
#   and writes md5sums and Installed-Size anew (CPack's md5sums name absolute paths in
#   the -dbgsym packages, its size counts the files before they are stripped);
# - gives a -dbgsym package the documentation folder of the package it belongs to, as
#   Debian's do (usr/share/doc/NAME-dbgsym -> NAME), and its .debug files mode 644.
# The packages are rebuilt with dpkg-deb, owned by root.
foreach(deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT deb MATCHES "\\.d?deb$")
    continue()
  endif()
  set(root "${deb}.tree")
  file(REMOVE_RECURSE "${root}")
  execute_process(COMMAND dpkg-deb --raw-extract "${deb}" "${root}" COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE "${root}/DEBIAN/postinst" "${root}/DEBIAN/postrm")
  if(deb MATCHES "/([^/_]+)-dbgsym_[^/]*\\.ddeb$")
    file(MAKE_DIRECTORY "${root}/usr/share/doc")
    file(CREATE_LINK "${CMAKE_MATCH_1}" "${root}/usr/share/doc/${CMAKE_MATCH_1}-dbgsym" SYMBOLIC)
  endif()
  file(GLOB_RECURSE files LIST_DIRECTORIES false "${root}/usr/*")
  set(sums "")
  foreach(f IN LISTS files)
    if(IS_SYMLINK "${f}")
      continue()
    endif()
    file(READ "${f}" magic LIMIT 4 HEX)
    if(magic STREQUAL "7f454c46")
      execute_process(COMMAND objcopy --remove-section=.comment "${f}" COMMAND_ERROR_IS_FATAL ANY)
    endif()
    if(f MATCHES "\\.debug$")
      file(CHMOD "${f}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endif()
    file(MD5 "${f}" sum)
    file(RELATIVE_PATH rel "${root}" "${f}")
    string(APPEND sums "${sum}  ${rel}\n")
  endforeach()
  file(WRITE "${root}/DEBIAN/md5sums" "${sums}")
  # Installed-Size as dpkg-gencontrol counts it (KiB per file, rounded up; 1 per folder
  # and link): CPack counts the files before they are stripped.
  file(GLOB_RECURSE entries LIST_DIRECTORIES true "${root}/usr/*")
  set(kib 0)
  foreach(f IN LISTS entries)
    if(IS_SYMLINK "${f}" OR IS_DIRECTORY "${f}")
      math(EXPR kib "${kib} + 1")
    else()
      file(SIZE "${f}" bytes)
      math(EXPR kib "${kib} + (${bytes} + 1023) / 1024")
    endif()
  endforeach()
  file(READ "${root}/DEBIAN/control" control)
  string(REGEX REPLACE "Installed-Size: [0-9]+" "Installed-Size: ${kib}" control "${control}")
  file(WRITE "${root}/DEBIAN/control" "${control}")
  execute_process(COMMAND dpkg-deb --root-owner-group -Zxz --build "${root}" "${deb}"
                  OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE "${root}")
endforeach()
