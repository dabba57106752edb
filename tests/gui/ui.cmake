# The station window: charts, TMainForm, TOKBottomDlg, QtWindow and the scanner thread.
qd718_add_test(gui_profile_charts LABEL gui QT_MAIN SOURCES profile_charts_test.cpp
               LIBS qd718_charts)
