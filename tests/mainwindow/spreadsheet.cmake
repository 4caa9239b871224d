# The save-as-spreadsheet command of the main window, against a recording application.
ravenmoor_add_test(tst_form1export SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form1export.cpp LIBS ravenmoor_mainwindow)
