target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/SkinRecord.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Ft_updateplayerskin.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Faces.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SkinCursors.cpp
)
