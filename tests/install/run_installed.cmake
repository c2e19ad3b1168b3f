# Installs the build tree into a temporary prefix and runs the installed
# program on a copy of the box example: the program and SURFLINK must find
# their libraries through run paths relative to themselves (RUNPATH, no
# RPATH, no folder of the build tree), and the run must end with status 0
# and write its report.  Everything is made in one temporary folder, removed
# at the end.
#
#   cmake -DBUILD=<build tree> -DSOURCE=<source tree> -P run_installed.cmake
execute_process(COMMAND mktemp -d OUTPUT_VARIABLE tmp OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE st)
if(NOT st EQUAL 0 OR NOT IS_DIRECTORY "${tmp}")
  message(FATAL_ERROR "cannot make a temporary folder")
endif()

function(check)
  set(prefix "${tmp}/prefix")
  execute_process(COMMAND ${CMAKE_COMMAND} --install "${BUILD}" --prefix "${prefix}"
                  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE st)
  if(NOT st EQUAL 0)
    set(fail "install failed:\n${out}" PARENT_SCOPE)
    return()
  endif()
  foreach(f bin/zorva lib/libsurflink.so lib/libzuzovoza.so lib/libgeomxact.so lib/libnewmodes.so)
    if(NOT EXISTS "${prefix}/${f}")
      set(fail "${f} not installed" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  foreach(pair "bin/zorva=$ORIGIN/../lib" "lib/libsurflink.so=$ORIGIN")
    string(REPLACE "=" ";" pair "${pair}")
    list(GET pair 0 f)
    list(GET pair 1 want)
    file(READ_ELF "${prefix}/${f}" RPATH rpath RUNPATH runpath)
    if(NOT "${runpath}" STREQUAL "${want}" OR NOT "${rpath}" STREQUAL "")
      set(fail "${f}: RUNPATH [${runpath}] RPATH [${rpath}], want RUNPATH [${want}] and no RPATH" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  # The box example in a folder of its own, run by the installed program.
  set(run "${tmp}/box")
  file(MAKE_DIRECTORY "${run}")
  foreach(f fnames.zrv box.cfg box.pot box.gdf box.frc)
    execute_process(COMMAND ${CMAKE_COMMAND} -E copy "${SOURCE}/examples/box/${f}" "${run}" RESULT_VARIABLE st)
    if(NOT st EQUAL 0)
      set(fail "cannot copy ${SOURCE}/examples/box/${f}" PARENT_SCOPE)
      return()
    endif()
  endforeach()
  execute_process(COMMAND "${prefix}/bin/zorva" WORKING_DIRECTORY "${run}" INPUT_FILE /dev/null
                  OUTPUT_VARIABLE out ERROR_VARIABLE out RESULT_VARIABLE st)
  if(NOT st EQUAL 0)
    set(fail "installed zorva: status ${st}\n${out}" PARENT_SCOPE)
  elseif(NOT EXISTS "${run}/box.out" OR NOT EXISTS "${run}/box.4")
    set(fail "installed zorva wrote no box.out or box.4\n${out}" PARENT_SCOPE)
  endif()
endfunction()

set(fail "")
check()
file(REMOVE_RECURSE "${tmp}")
if(fail)
  message(FATAL_ERROR "${fail}")
endif()
