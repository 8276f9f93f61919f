# The side panel's skinned lists.
target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/TFT_ScrollList.h
  ${CMAKE_CURRENT_LIST_DIR}/TFT_PlayList.h
  ${CMAKE_CURRENT_LIST_DIR}/TFT_Bookmark.h
  ${CMAKE_CURRENT_LIST_DIR}/TFT_Snapshot.h)
