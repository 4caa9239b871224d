# Save As (CSV, workbook, PDF), the yearly summary and the chart data; read back by LibreOffice
# and pdftotext.
ravenmoor_add_test(tst_schedulefiles SOURCES ${CMAKE_CURRENT_LIST_DIR}/tst_schedulefiles.cpp LIBS ravenmoor_documents)
target_compile_definitions(tst_schedulefiles PRIVATE PLAN_GOLDEN="${CMAKE_SOURCE_DIR}/tests/cli/plan-lower.csv")
