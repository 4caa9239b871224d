# The working window: layout, load, Calculate, remembered inputs, hover cue; its grid model.
ravenmoor_add_test(tst_form1 SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_form1.cpp LIBS ravenmoor_mainwindow)
ravenmoor_add_test(tst_schedulegridmodel SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_schedulegridmodel.cpp
                   LIBS ravenmoor_mainwindow)
