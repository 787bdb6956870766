# Sources of the series reader and the mean value groups, added to the analysis targets.
# SERIES_CORE_SOURCES: standard library only (into tw_analysis_core).
# SERIES_WIDGET_SOURCES: Qt (into tw_analysis).
set(SERIES_CORE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/core/series_file.cpp ${CMAKE_CURRENT_LIST_DIR}/core/series_file.h
  ${CMAKE_CURRENT_LIST_DIR}/core/series_load.cpp ${CMAKE_CURRENT_LIST_DIR}/core/series_load.h
  ${CMAKE_CURRENT_LIST_DIR}/core/mean_groups.cpp ${CMAKE_CURRENT_LIST_DIR}/core/mean_groups.h)
set(SERIES_WIDGET_SOURCES ${CMAKE_CURRENT_LIST_DIR}/series_window.cpp ${CMAKE_CURRENT_LIST_DIR}/series_window.h)
