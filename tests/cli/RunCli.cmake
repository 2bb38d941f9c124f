# Runs the built veltrano-cli (under EMULATOR for a cross build) on the sample banks: names
# come from the Veltrano.txt beside it, the exit status is the command's, and the output
# bytes are the same on every system (CSV rows end in CR LF, never CR CR LF).
#
# The output goes through files: execute_process's variables and file(READ) both drop the CR
# of a CR LF, so the line ends are checked on the bytes.
function(expect rc_wanted out_regex err_regex)
  execute_process(COMMAND ${EMULATOR} "${CLI}" ${ARGN} RESULT_VARIABLE rc
                  OUTPUT_FILE "${WORK}/cli.out" ERROR_FILE "${WORK}/cli.err")
  file(READ "${WORK}/cli.out" out)
  file(READ "${WORK}/cli.err" err)
  if(NOT rc STREQUAL "${rc_wanted}" OR NOT out MATCHES "${out_regex}" OR NOT err MATCHES "${err_regex}")
    message(FATAL_ERROR "veltrano-cli ${ARGN}\nexit status ${rc}, expected ${rc_wanted}\n"
                        "--- stdout (wanted: ${out_regex})\n${out}\n--- stderr (wanted: ${err_regex})\n${err}")
  endif()
  file(READ "${WORK}/cli.out" hex HEX)
  set(cr_lf_rows FALSE)
  if(hex MATCHES "^(..)*0d0a")
    set(cr_lf_rows TRUE)
  endif()
  if(hex MATCHES "^(..)*0d0d")
    message(FATAL_ERROR "veltrano-cli ${ARGN}: CR CR in the output")
  endif()
  set(cr_lf_rows ${cr_lf_rows} PARENT_SCOPE)
endfunction()

expect(0 "Leads.AN1\t[0-9]+\t[^\t\n]+\t[0-9 ]+\n" "^$" find --controller "cc 13 ribbonx" "${SAMPLES}")
expect(1 "^$" "^$" find --parameter 200 "${SAMPLES}")
expect(2 "Pads.ans\n  0  Pd  Glass Pad \n" "missing.an1: [^\n]+\n$" list "${SAMPLES}/missing.an1" "${SAMPLES}/Pads.ans")
if(cr_lf_rows)
  message(FATAL_ERROR "list: CR LF line ends; expected LF")
endif()
expect(0 "^file,voice,number,category,name\n[^\n]*Pads.ans,0,0,Pd,Glass Pad\n" "^$" list --csv "${SAMPLES}/Pads.ans")
if(NOT cr_lf_rows)
  message(FATAL_ERROR "list --csv: rows without CR LF")
endif()
expect(0 "^veltrano-cli [0-9]+\\.[0-9]+\n$" "^$" --version)

# A name the Windows code page cannot hold is refused there, since the narrow argument would
# be a look-alike that can name another file; elsewhere it is a name like any other.
if(EMULATOR)
  expect(2 "^$" "^veltrano-cli: argument 2 holds a character" list "${SAMPLES}/Ж.an1")
else()
  expect(2 "^$" "Ж.an1: " list "${SAMPLES}/Ж.an1")
endif()
