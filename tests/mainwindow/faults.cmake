# Faults found by injection (locale, links, full disk, FIFO cursor, damaged settings, failing
# spreadsheet program), each through the function that owns it.
ravenmoor_add_test(tst_faults SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_faults.cpp LIBS ravenmoor_mainwindow)
