# Sources of the series reader and the mean value groups, added to the analysis targets.
# SERIES_CORE_SOURCES: standard library only (into tw_analysis_core).
# SERIES_WIDGET_SOURCES: Qt (into tw_analysis).
set(SERIES_CORE_SOURCES)
set(SERIES_WIDGET_SOURCES ${CMAKE_CURRENT_LIST_DIR}/series_window.cpp)
