# Importing a velocity text file of 200,000 rows (statistics and the data-file text) beside a
# baseline that only converts the same velocities with std::from_chars and std::to_chars.
tw_add_bench(bench_import
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_import.cpp
  LIBS tw_import_core)
