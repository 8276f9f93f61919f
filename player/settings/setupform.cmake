target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdsetupform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/SetupCommand.cpp
)
