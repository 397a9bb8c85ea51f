# Per-target warning flags; -Werror only when RV_WERROR is on (CI turns it on).
function(rv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow)
  if(RV_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Qt targets: no keywords, no implicit conversions from char* to QString.
function(rv_qt_defaults target)
  target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII)
endfunction()
