# The schedule's grid texts and values in several locales.
ravenmoor_add_test(tst_scheduletable SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_scheduletable.cpp LIBS ravenmoor_output)
