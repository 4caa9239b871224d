# Clipboard copy text and the column-aligned report.
ravenmoor_add_test(tst_textoutputs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_textoutputs.cpp LIBS ravenmoor_documents)
