qd718_add_test(unit_measure LABEL unit
  SOURCES measure_scan_test.cpp measure_filters_test.cpp measure_feature_test.cpp
          measure_pipeline_test.cpp
  LIBS qd718_measure)
qd718_add_test(unit_calibration_run LABEL unit
  SOURCES calibration_run_test.cpp
  LIBS qd718_calib)
qd718_add_test(unit_refprof LABEL unit
  SOURCES refprof_test.cpp
  LIBS qd718_refprof qd718_station)
