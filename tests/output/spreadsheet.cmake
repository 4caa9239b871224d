# The LibreOffice Calc backend, read back by the real LibreOffice.
ravenmoor_add_test(tst_spreadsheet SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_spreadsheet.cpp LIBS ravenmoor_documents)
