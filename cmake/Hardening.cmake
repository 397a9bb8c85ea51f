# Debian's build flags (dpkg-buildflags on Debian 12, "hardening=+all" less nothing) for
# the optimised configurations, so that what `make package` ships passes hardening-check:
# stack protector, FORTIFY (needs the optimiser, hence not in Debug), stack-clash and
# control-flow protection, read-only relocations bound at start (RELRO + BIND_NOW). PIE
# comes from CMAKE_POSITION_INDEPENDENT_CODE and check_pie_supported (top CMakeLists).
option(RV_HARDENING "Debian's hardening flags in the Release, RelWithDebInfo and MinSizeRel builds" ON)
if(NOT RV_HARDENING)
  return()
endif()

set(_rv_optimised "$<CONFIG:Release,RelWithDebInfo,MinSizeRel>")
add_compile_options(
  "$<${_rv_optimised}:-fstack-protector-strong;-fstack-clash-protection;-fcf-protection>"
  "$<${_rv_optimised}:-Wformat;-Werror=format-security;-Wdate-time>"
  # Debug information names source files relative to the tree, as Debian builds do.
  "$<${_rv_optimised}:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>")
add_compile_definitions("$<${_rv_optimised}:_FORTIFY_SOURCE=2>")
add_link_options("$<${_rv_optimised}:LINKER:-z,relro;LINKER:-z,now;LINKER:--as-needed>")
# Control-flow protection: every object of ours is compiled with -fcf-protection and so
# carries the IBT and SHSTK property, but Debian 12's C start files (crt1.o, crti.o,
# crtn.o) carry none, and the linker keeps a property only when every input has it. The
# link therefore states it. Linux enforces no indirect-branch tracking in user space, and
# the start files do nothing a shadow stack forbids.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  add_link_options("$<${_rv_optimised}:LINKER:-z,ibt;LINKER:-z,shstk>")
endif()
unset(_rv_optimised)
