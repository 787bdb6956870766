# A full diagram redraw of 30 runs (measured and fitted) into a 1200 x 800 picture, with
# 100,000 samples per run against 1,000: the reduction keeps the cost bounded by the width. Also
# a pan step with the mouse and the overview picture of 1,000,000 samples per run.
tw_add_bench(bench_diagram
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_diagram.cpp
  LIBS tw_diagram tw_platform)
