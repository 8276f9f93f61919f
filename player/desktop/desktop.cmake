# Desktop integration: the media-player interface on the session bus, screen-saver hold.
find_package(Qt6 REQUIRED COMPONENTS DBus)
target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Mpris.cpp
  ${CMAKE_CURRENT_LIST_DIR}/Mpris.h
)
target_link_libraries(lumora_player PUBLIC Qt6::DBus)
