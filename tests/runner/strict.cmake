# quvex-sim refuses what it cannot check and says so before the run: each case writes its
# scenario (@S@ in the arguments is its path), runs the runner and checks the exit code, a part
# of stderr and a part of stdout (the summary line is printed on every path of a scenario run).
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(failures "")

# case(name exit-code stderr-part stdout-part scenario-json argument...)
function(case name rc err out scenario)
  set(path ${WORK_DIR}/${name}.json)
  file(WRITE ${path} "${scenario}")
  string(REPLACE "@S@" "${path}" args "${ARGN}")
  string(REPLACE "@W@" "${WORK_DIR}" args "${args}")
  execute_process(COMMAND ${RUNNER} ${args} RESULT_VARIABLE got_rc OUTPUT_VARIABLE got_out ERROR_VARIABLE got_err)
  string(REPLACE "@W@" "${WORK_DIR}" err "${err}")
  string(FIND "${got_err}" "${err}" at_err)
  string(FIND "${got_out}" "${out}" at_out)
  if(NOT got_rc STREQUAL rc OR at_err EQUAL -1 OR at_out EQUAL -1)
    set(failures "${failures}\n${name}: expected exit ${rc}, stderr '${err}', stdout '${out}'; got ${got_rc}:\n${got_out}${got_err}"
        PARENT_SCOPE)
  endif()
endfunction()

set(moves [=[{"timeline": [{"call": "quvex_initial"}, {"call": "quvex_start_tr_move", "args": [0, 1000, 100, 10000, 0.05, 0.05]}, {"advance": 1.0}]}]=])
set(checked [=[{"timeline": [{"call": "quvex_initial", "expect": {"result": 0}}, {"at": 1.0, "expect": {"position": {"device": 0, "axis": 0, "value": 0}}}]}]=])

# Unknown keys at every level, with their path and the nearest known key.
case(top_key 2 [=[scenario: unknown key "timline"; did you mean "timeline"?]=] "not run"
     [=[{"timline": [{"call": "quvex_initial", "expect": {"result": 0}}]}]=] @S@)
case(step_key 2 [=[timeline[1] "arrived": unknown key "expext"; did you mean "expect"?]=] "not run"
     [=[{"timeline": [{"call": "quvex_initial", "expect": {"result": 0}},
                      {"at": 1, "name": "arrived", "expext": {"position": {"device": 0, "axis": 0, "value": 0}}}]}]=] @S@)
case(state_key 2 [=[timeline[1].expect.position: unknown key "valeu"; did you mean "value"?]=] "not run"
     [=[{"timeline": [{"call": "quvex_initial", "expect": {"result": 0}},
                      {"at": 1, "expect": {"position": {"device": 0, "axis": 0, "valeu": 0}}}]}]=] @S@)
case(output_key 2 [=[timeline[0].expect: unknown key "cuont"; did you mean "count"?]=] "not run"
     [=[{"timeline": [{"call": "quvex_initial", "expect": {"result": 0, "cuont": 1}}]}]=] @S@)
case(list_key 2 [=[stations[0]: unknown key "idnet"; did you mean "ident"?]=] "not run"
     [=[{"stations": [{"device": 0, "slave": 3, "idnet": 1}], "timeline": []}]=] @S@)
case(input_key 2 [=[timeline[0].input: unknown key "activ"; did you mean "active"?]=] "not run"
     [=[{"timeline": [{"input": {"device": 0, "axis": 0, "signal": "origin", "activ": true}}]}]=] @S@)
case(export_name 2 [=[timeline[1]: no export named 'quvex_start_tr_mvoe'; did you mean 'quvex_start_tr_move'?]=] "not run"
     [=[{"timeline": [{"call": "quvex_initial", "expect": {"result": 0}},
                      {"call": "quvex_start_tr_mvoe", "args": [0, 1000, 100, 10000, 0.1, 0.1]}]}]=] @S@)

# Times: never in the past, never negative.
case(time_in_past 2 [=[timeline[3].at: 1 s is in the past: the steps before it reach 2.5 s]=] "not run"
     [=[{"timeline": [{"call": "quvex_initial", "expect": {"result": 0}}, {"at": 2}, {"advance": 0.5}, {"at": 1}]}]=] @S@)
case(negative_advance 2 [=[timeline[0].advance: must be a number of seconds, 0 or more, not -1]=] "not run"
     [=[{"timeline": [{"advance": -1}]}]=] @S@)

# A run that checked nothing fails, unless the scenario says it checks nothing.
case(checked_nothing 1 "FAILED: the scenario checked no expectation" "0 expectations checked, 0 failed, at 1 s"
     "${moves}" --no-progress @S@)

# Outputs and options are checked before the run; the summary follows every refusal.
case(svg_without_samples 2 "--svg draws the sampled axes, and the scenario samples none" "not run"
     "${checked}" --svg @W@/plot.svg @S@)
case(unwritable_csv 2 "--csv @W@/no-such-folder/t.csv: cannot be written (No such file or directory)" "not run"
     "${checked}" --csv @W@/no-such-folder/t.csv @S@)
case(argument_out_of_range 2 "quvex_start_tr_move: argument 1 must be an integer in the argument's range, not 65536"
     "1 expectations checked, 0 failed, at 0 s"
     [=[{"timeline": [{"call": "quvex_initial", "expect": {"result": 0}},
                      {"call": "quvex_start_tr_move", "args": [65536, 1000, 100, 10000, 0.1, 0.1]}]}]=] @S@)
case(unreadable_file 2 "cannot be read" "not run" "" @W@/missing.json)
case(no_arguments 2 "scenario is required" "" "")
case(unknown_option 2 "--bogus" "" "${checked}" --bogus @S@)
case(realtime_zero 2 "SCALE must be a number above 0" "" "${checked}" --realtime 0 @S@)
case(version 0 "" "quvex-sim " "" --version)
case(help_lists_exit_codes 0 "" "Exit codes:\n  0  every expectation held\n  1  an expectation failed" "" --help)

if(failures)
  message(FATAL_ERROR "${failures}")
endif()
