# Ledger, beancount and QIF exports, read back by hledger, ledger and bean-query.
ravenmoor_add_test(tst_accounting SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_accounting.cpp LIBS ravenmoor_output)
target_compile_definitions(tst_accounting PRIVATE QIF_GOLDEN="${CMAKE_CURRENT_LIST_DIR}/grace.qif")
