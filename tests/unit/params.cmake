# Parameters, parameter entry, the connection workflow and the calibration-table transfer.
add_library(qd718_params_test_link STATIC ${CMAKE_CURRENT_LIST_DIR}/params_scripted_link.cpp)
target_include_directories(qd718_params_test_link PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(qd718_params_test_link PUBLIC qd718_link)

qd718_add_test(unit_params_edits LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/params_edit_conversion_test.cpp
  LIBS qd718_params qd718_params_test_link)
# The same conversions in a user's format with a decimal comma.
qd718_add_test(unit_params_edits_locale LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/params_edit_locale_test.cpp
  LIBS qd718_params)
qd718_add_test(unit_params_io LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/params_scan_params_test.cpp
  LIBS qd718_params qd718_params_test_link)
qd718_add_test(unit_table_transfer LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/table_transfer_test.cpp
  LIBS qd718_calib qd718_params_test_link)
qd718_add_test(unit_connection LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/connection_test.cpp
  LIBS qd718_station qd718_params_test_link)
qd718_add_test(unit_connection_loopback LABEL unit
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/connection_loopback_test.cpp
  LIBS qd718_station)
