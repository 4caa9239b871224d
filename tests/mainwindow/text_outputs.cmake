# The save-as-text, copy and clear commands of the main window.
ravenmoor_add_test(tst_form1outputs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form1outputs.cpp LIBS ravenmoor_mainwindow)
