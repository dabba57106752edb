# The serial link on pseudo-terminals: line settings, time-outs, exclusive open, vanishing scanner.
qd718_add_test(pty_link LABEL pty
  SOURCES link_line_test.cpp link_timing_test.cpp
  LIBS qd718_link Qt6::Core QT_MAIN)

# The link and the protocol against the virtual scanner program.
qd718_add_test(pty_link_sim LABEL pty
  SOURCES link_sim_test.cpp
  LIBS qd718_link Qt6::Core QT_MAIN)
target_compile_definitions(pty_link_sim PRIVATE QD718_SIM="$<TARGET_FILE:qd718-sim>")
add_dependencies(pty_link_sim qd718-sim)
