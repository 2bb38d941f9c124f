# Runs one scenario file with the driver and compares what it prints with NAME.out
# (and, for a scenario that must be refused, stderr with NAME.err and exit status 2).
string(REGEX REPLACE "\\.scn$" "" base "${SCN}")
# EMULATOR: how a cross build runs the driver (Wine), empty otherwise.
execute_process(COMMAND ${EMULATOR} "${DRIVER}" "${SCN}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
# Wine on a busy machine now and then fails to start a process at all: status 1 and not a
# byte printed, which the driver never does (it ends with 0 or 2, and a crash is another
# status). Such a start is tried once more; any other failure stands as it is.
if(EMULATOR AND rc STREQUAL "1" AND out STREQUAL "" AND err STREQUAL "")
  message(STATUS "the emulator started nothing (status 1, no output): run again")
  execute_process(COMMAND ${EMULATOR} "${DRIVER}" "${SCN}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
endif()
set(expected_rc 0)
if(EXISTS "${base}.err")
  set(expected_rc 2)
  file(READ "${base}.err" want_err)
  if(NOT err STREQUAL want_err)
    message(FATAL_ERROR "stderr differs.\n--- expected\n${want_err}\n--- got\n${err}")
  endif()
endif()
if(NOT rc STREQUAL "${expected_rc}")
  message(FATAL_ERROR "exit status ${rc}, expected ${expected_rc}\nstderr:\n${err}\nstdout:\n${out}")
endif()
file(READ "${base}.out" want)
if(NOT out STREQUAL want AND WINDOWS_PATHS)
  # Windows prints its paths with "\" (quoted as "\\"): the only difference allowed.
  string(REPLACE "\\\\" "/" out_slash "${out}")
  string(REPLACE "\\\\" "/" want_slash "${want}")
  if(out_slash STREQUAL want_slash)
    set(out "${want}")
  endif()
endif()
if(NOT out STREQUAL want)
  file(WRITE "${base}.actual" "${out}")
  message(FATAL_ERROR "output differs (written to ${base}.actual)\n--- expected\n${want}\n--- got\n${out}")
endif()
