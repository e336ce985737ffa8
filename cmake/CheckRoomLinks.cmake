# The rooms' link rules: the logic never reaches the widgets, and app and the rooms below it
# know no feature room. Run by ctest as `room_links`.
cmake_minimum_required(VERSION 3.25)
include(${LINK_GRAPH})

set(failures "")
set(feature_rooms remote project tags services analysis ftp sftp preview spell publish checks)
set(lower_rooms platform editor app)

# No room, and not the whole core, links Qt Widgets.
foreach(room ${lower_rooms} ${feature_rooms} core)
  foreach(lib ${LINKS_quillon_${room}})
    if(lib MATCHES "^Qt6?::Widgets$")
      list(APPEND failures "quillon_${room} links ${lib}")
    endif()
  endforeach()
endforeach()
# platform <- editor <- app: none of them links a feature room, nor one above itself.
set(above_platform editor app ${feature_rooms})
set(above_editor app ${feature_rooms})
set(above_app ${feature_rooms})
foreach(room ${lower_rooms})
  foreach(other ${above_${room}})
    if("quillon_${other}" IN_LIST LINKS_quillon_${room})
      list(APPEND failures "quillon_${room} links quillon_${other}")
    endif()
  endforeach()
endforeach()
# The ui links every room (otherwise the graph above says nothing).
if(NOT "quillon_app" IN_LIST LINKS_quillon_ui OR NOT "Qt6::Widgets" IN_LIST LINKS_quillon_ui)
  list(APPEND failures "the link graph is incomplete: quillon_ui misses quillon_app or Widgets")
endif()

# The built programs: the core tests load no widgets library; the ui tests do, which shows that
# the probe sees it.
foreach(program CORE_TESTS UI_TESTS)
  file(GET_RUNTIME_DEPENDENCIES EXECUTABLES ${${program}}
    RESOLVED_DEPENDENCIES_VAR resolved UNRESOLVED_DEPENDENCIES_VAR unresolved)
  set(widgets FALSE)
  foreach(lib ${resolved} ${unresolved})
    if(lib MATCHES "libQt6Widgets")
      set(widgets TRUE)
    endif()
  endforeach()
  if(program STREQUAL "CORE_TESTS" AND widgets)
    list(APPEND failures "${${program}} loads libQt6Widgets")
  elseif(program STREQUAL "UI_TESTS" AND NOT widgets)
    list(APPEND failures "${${program}} does not load libQt6Widgets: the probe is blind")
  endif()
endforeach()

if(failures)
  list(JOIN failures "\n  " text)
  message(FATAL_ERROR "Room link rules broken:\n  ${text}")
endif()
message(STATUS "Room link rules hold")
