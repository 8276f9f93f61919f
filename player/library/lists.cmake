# The side panel's skinned lists.
set(LUMORA_LIST_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/ListFile.h
  ${CMAKE_CURRENT_LIST_DIR}/ListFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TFT_ScrollList.h
  ${CMAKE_CURRENT_LIST_DIR}/TFT_ScrollList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TFT_PlayList.h
  ${CMAKE_CURRENT_LIST_DIR}/TFT_PlayList.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TFT_Bookmark.h
  ${CMAKE_CURRENT_LIST_DIR}/TFT_Bookmark.cpp
  ${CMAKE_CURRENT_LIST_DIR}/TFT_Snapshot.h
  ${CMAKE_CURRENT_LIST_DIR}/TFT_Snapshot.cpp)
target_sources(lumora_player PRIVATE ${LUMORA_LIST_SOURCES})
