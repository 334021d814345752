# ikw_add_test(NAME COMMAND...): a test of this build. The 32-bit Windows
# build's tests execute 32-bit code under Wine; where the machine cannot run
# 32-bit programs, scripts/lib/needs-32bit reports them skipped instead of
# letting them fail, or pass, for a reason that has nothing to do with them.
# COMMAND is taken as written: name the emulator and $<TARGET_FILE:...>
# where CMake would otherwise add them.
set(IKW_THIS_BUILD_RUNS_32BIT_CODE OFF)
if(CMAKE_CROSSCOMPILING AND CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(IKW_THIS_BUILD_RUNS_32BIT_CODE ON)
endif()

function(ikw_add_test name)
  if(IKW_THIS_BUILD_RUNS_32BIT_CODE)
    add_test(NAME ${name} COMMAND ${PROJECT_SOURCE_DIR}/scripts/lib/needs-32bit ${ARGN})
    set_tests_properties(${name} PROPERTIES SKIP_RETURN_CODE 77)
  else()
    add_test(NAME ${name} COMMAND ${ARGN})
  endif()
endfunction()
