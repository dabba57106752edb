# Wire-time ratio of "Measurement" through qd718 against a paced qd718-sim:
#   ninja bench_wire
add_custom_target(bench_wire
  COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/wire_ratio.sh $<TARGET_FILE:qd718> $<TARGET_FILE:qd718-sim>
  DEPENDS qd718 qd718-sim
  USES_TERMINAL
  COMMENT "qd718 measure against qd718-sim --pace: wall time / wire-time floor")
