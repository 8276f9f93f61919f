target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdmainform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFormVideo.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFormFrame.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFormEvents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFormOptions.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFormCommands.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFormFullScreen.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdcontrolframe.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdshadowform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdfullscreenform.cpp
  # Component trees and skin application (the skin system's files).
  ${CMAKE_CURRENT_LIST_DIR}/MainFormComponents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MainFormSkin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ControlFrameComponents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/ShadowFormComponents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/FullScreenFormComponents.cpp
)
