# The planner window: its event parsing and one walk through the window.
ravenmoor_add_test(tst_plannerdialog SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_plannerdialog.cpp LIBS ravenmoor_windows)
