# Skin controls: animated button, bitmap bar, digit picture.
set(LUMORA_SKIN_CONTROLS_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/Ftimagebutton.h
  ${CMAKE_CURRENT_LIST_DIR}/Ftimagebutton.cpp)
target_sources(lumora_player PRIVATE ${LUMORA_SKIN_CONTROLS_SOURCES})
