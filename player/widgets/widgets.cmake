# Framework components and the image button.
set(LUMORA_WIDGETS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Components.h
  ${CMAKE_CURRENT_LIST_DIR}/Components.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TPanel.h
  ${CMAKE_CURRENT_LIST_DIR}/TPanel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TImage.h
  ${CMAKE_CURRENT_LIST_DIR}/TImage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TLabel.h
  ${CMAKE_CURRENT_LIST_DIR}/TLabel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TTimer.h
  ${CMAKE_CURRENT_LIST_DIR}/TTimer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TPopupMenu.h
  ${CMAKE_CURRENT_LIST_DIR}/TPopupMenu.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TskCustomButton.h
  ${CMAKE_CURRENT_LIST_DIR}/TskCustomButton.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TskImageButton.h
  ${CMAKE_CURRENT_LIST_DIR}/TskImageButton.cpp)
target_sources(lumora_player PRIVATE ${LUMORA_WIDGETS_SOURCES})
