# The tools' dialogs: Solve For and Reconcile With Statement, opened from the window.
ravenmoor_add_test(tst_tooldialogs SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_tooldialogs.cpp
                   LIBS ravenmoor_mainwindow)
target_compile_definitions(tst_tooldialogs PRIVATE
    STATEMENTS_DIR="${PROJECT_SOURCE_DIR}/tests/solver/statements")
