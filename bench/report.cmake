# The report of a series of 30 x 100,000 samples end to end, beside its cells as plain text.
tw_add_bench(bench_report
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_report.cpp
  LIBS tw_report tw_platform_fakes)
add_dependencies(bench_report Coastfit report_title)
