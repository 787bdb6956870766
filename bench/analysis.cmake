# Reading a data file of a million samples: the parser against a bare from_chars pass over the
# same bytes, and the whole open in an offscreen window.
tw_add_bench(bench_analysis
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_analysis.cpp
  LIBS tw_analysis tw_platform_fakes)
