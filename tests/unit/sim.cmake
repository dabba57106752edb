# The virtual scanner's device model, on its own: no station code.
qd718_add_test(unit_sim LABEL unit
  SOURCES sim_wire.cpp sim_commands_test.cpp sim_faults_test.cpp sim_scenes_test.cpp
  LIBS qd718_sim_host)

# The default scene through the station's own processing: what an engineer sees on screen.
qd718_add_test(unit_sim_station LABEL unit SOURCES sim_station_test.cpp LIBS qd718_station)
