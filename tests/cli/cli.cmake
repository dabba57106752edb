# qd718 against qd718-sim, as real processes on pseudo-terminals.
qd718_add_test(cli_qd718 LABEL cli
  SOURCES qd718_test.cpp cli_process.cpp
  LIBS qd718_sim nlohmann_json::nlohmann_json)
target_compile_definitions(cli_qd718 PRIVATE
  QD718_EXE="$<TARGET_FILE:qd718>" QD718_SIM_EXE="$<TARGET_FILE:qd718-sim>")
add_dependencies(cli_qd718 qd718 qd718-sim)
