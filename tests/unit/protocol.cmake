# The command protocol over a scripted line, and the port-name mapping.
qd718_add_test(unit_protocol LABEL unit
  SOURCES
    protocol_scripted_link.cpp
    protocol_request_test.cpp
    protocol_prepare_scan_test.cpp
  LIBS qd718_link)

qd718_add_test(unit_port_names LABEL unit SOURCES port_names_test.cpp LIBS qd718_link)

qd718_add_test(unit_protocol_loopback LABEL unit SOURCES protocol_loopback_test.cpp LIBS qd718_link)
