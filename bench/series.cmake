tw_add_bench(bench_series SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_series.cpp LIBS tw_analysis_core Coastfit)
