target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdstate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdplay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerBars.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Resume.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ResumeList.cpp
)
target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdmain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HandOffFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayerWindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartSequence.cpp
)
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/CommandLine.cpp PROPERTIES
  COMPILE_DEFINITIONS "LUMORA_VERSION=\"${PROJECT_VERSION}\"")
