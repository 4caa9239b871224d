# The menu bar: every item reaches its command; the yearly summary and chart windows.
ravenmoor_add_test(tst_form1menu SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form1menu.cpp LIBS ravenmoor_mainwindow)
