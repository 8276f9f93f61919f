# Skin controls: animated button, bitmap bar, digit picture.
target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Ftimagebutton.h)
