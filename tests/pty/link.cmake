# The serial link on pseudo-terminals: line settings, time-outs, exclusive open, vanishing scanner.
qd718_add_test(pty_link LABEL pty
  SOURCES link_line_test.cpp link_timing_test.cpp
  LIBS qd718_link Qt6::Core QT_MAIN)
