# Framework components and the image button.
target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Components.h
  ${CMAKE_CURRENT_LIST_DIR}/TPanel.h
  ${CMAKE_CURRENT_LIST_DIR}/TImage.h
  ${CMAKE_CURRENT_LIST_DIR}/TLabel.h
  ${CMAKE_CURRENT_LIST_DIR}/TTimer.h
  ${CMAKE_CURRENT_LIST_DIR}/TPopupMenu.h
  ${CMAKE_CURRENT_LIST_DIR}/TskCustomButton.h
  ${CMAKE_CURRENT_LIST_DIR}/TskImageButton.h)
