tw_add_bench(bench_solver SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_solver.cpp LIBS coastfit_core)
