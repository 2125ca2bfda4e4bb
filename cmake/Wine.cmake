# velmora_add_wine_test(name target [args...])
# One CTest test that runs a cross-compiled program under Wine.
function(velmora_add_wine_test name target)
  add_test(NAME ${name}
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh $<TARGET_FILE:${target}> ${ARGN})
  # One at a time: the tests read windows back off the one shared screen.
  set_tests_properties(${name} PROPERTIES TIMEOUT 600 RUN_SERIAL TRUE)
endfunction()

# velmora_add_plain_fonts_wine_test(name target [args...])
# The same in a prefix of its own that maps no font face (made once, in build/),
# as a person's own Wine is.
function(velmora_add_plain_fonts_wine_test name target)
  velmora_add_wine_test(${name} ${target} ${ARGN})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT
    "VELMORA_WINEPREFIX=${PROJECT_SOURCE_DIR}/build/wineprefix-plain-fonts;VELMORA_WINE_FONTS=plain;VELMORA_WAIT_FOR_SERVER=yes")
endfunction()
