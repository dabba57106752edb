# The station window: charts, TMainForm, TOKBottomDlg, QtWindow and the scanner thread.
qd718_add_test(gui_profile_charts LABEL gui QT_MAIN SOURCES profile_charts_test.cpp
               LIBS qd718_charts)
qd718_add_test(gui_main_form LABEL gui QT_MAIN SOURCES main_form_test.cpp LIBS qd718_ui)
qd718_add_test(gui_param_entry LABEL gui QT_MAIN SOURCES param_entry_test.cpp LIBS qd718_ui)
qd718_add_test(gui_scanner_thread LABEL gui QT_MAIN SOURCES scanner_thread_test.cpp LIBS qd718_ui)
