# Builds the project beside this script with Make or Ninja, whose rule runs
# bprep2 with -MD, and checks that the output is remade after a member is
# touched (an operating-system file, and an item of a database file with a
# blank in its name) and not after a file the program does not read.
#
# cmake -DBPREP2=... -DTOOL=make|ninja -DTOOL_PROGRAM=... -DWORK_DIR=... -P check_rebuilds.cmake

set(project_dir ${CMAKE_CURRENT_LIST_DIR}/project)
file(REMOVE_RECURSE ${WORK_DIR})
file(COPY ${project_dir}/ DESTINATION ${WORK_DIR})
if(TOOL STREQUAL "make")
  set(build_command ${TOOL_PROGRAM} BPREP2=${BPREP2})
  set(dependency_file prog.d)
else()
  string(REPLACE "$" "$$" escaped ${BPREP2})
  file(WRITE ${WORK_DIR}/bprep2.ninja "bprep2 = ${escaped}\n")
  set(build_command ${TOOL_PROGRAM})
  set(dependency_file prog.out.d)
endif()

function(build)
  execute_process(COMMAND ${build_command} WORKING_DIRECTORY ${WORK_DIR}
                  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${TOOL} failed (${status}):\n${output}")
  endif()
endfunction()

# Whether the tool would remake prog.out, asked without remaking it.
function(expect_up_to_date expected why)
  if(TOOL STREQUAL "make")
    execute_process(COMMAND ${build_command} -q prog.out WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status
                    OUTPUT_QUIET ERROR_QUIET)
    set(up_to_date FALSE)
    if(status EQUAL 0)
      set(up_to_date TRUE)
    endif()
  else()
    execute_process(COMMAND ${build_command} -n WORKING_DIRECTORY ${WORK_DIR} OUTPUT_VARIABLE output)
    string(FIND "${output}" "no work to do" found)
    set(up_to_date FALSE)
    if(NOT found EQUAL -1)
      set(up_to_date TRUE)
    endif()
  endif()
  if(NOT up_to_date STREQUAL expected)
    message(FATAL_ERROR "${TOOL}: prog.out up to date is ${up_to_date} ${why}, expected ${expected}")
  endif()
endfunction()

# A touch in the same clock tick as the build would not make a file newer.
function(touch name)
  execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1)
  file(TOUCH "${WORK_DIR}/${name}")
endfunction()

build()
file(READ ${WORK_DIR}/${dependency_file} rules)
if(NOT rules MATCHES "^prog.out: prog.b inc/COMMON DICT\\\\ BP/ITEM1\n$")
  message(FATAL_ERROR "${TOOL}: unexpected ${dependency_file}:\n${rules}")
endif()
expect_up_to_date(TRUE "after the build")
touch(notes.txt)
expect_up_to_date(TRUE "after touching a file the program does not read")
foreach(member "inc/COMMON" "DICT BP/ITEM1")
  touch(${member})
  expect_up_to_date(FALSE "after touching ${member}")
  build()
  expect_up_to_date(TRUE "after the build that followed touching ${member}")
endforeach()
