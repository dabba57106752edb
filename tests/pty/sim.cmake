# qd718-sim as a process: its device path, its alias, its exit, its command line, the line.
qd718_add_test(pty_sim LABEL pty SOURCES sim_process.cpp sim_process_test.cpp)
target_compile_definitions(pty_sim PRIVATE QD718_SIM_PROGRAM="$<TARGET_FILE:qd718-sim>")
add_dependencies(pty_sim qd718-sim)
