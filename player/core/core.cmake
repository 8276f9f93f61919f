target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdstate.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdplay.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControllerBars.cpp
)
target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdmain.cpp
  ${CMAKE_CURRENT_LIST_DIR}/HandOffFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/PlayerWindows.cpp
  ${CMAKE_CURRENT_LIST_DIR}/StartSequence.cpp
)
