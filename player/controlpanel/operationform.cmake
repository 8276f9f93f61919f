target_sources(lumora_player PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/Ft_lumoradvdoperationform.cpp
  ${CMAKE_CURRENT_LIST_DIR}/MenuMarks.h
  ${CMAKE_CURRENT_LIST_DIR}/OperationFormComponents.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OperationFormDvdMenus.cpp
  ${CMAKE_CURRENT_LIST_DIR}/OperationFormOpen.cpp
)
