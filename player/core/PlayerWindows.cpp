#include "player/core/PlayerWindows.h"

#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/library/Ft_lumoradvdsubform.h"
#include "player/mainwindow/Ft_lumoradvdfullscreenform.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/mainwindow/Ft_lumoradvdshadowform.h"

TFT_LumoraDVD_MainForm* CreatePlayerWindows() {
  auto* main = new TFT_LumoraDVD_MainForm();
  new TFT_LumoraDVD_OperationForm();
  new TFT_LumoraDVD_ShadowForm();
  new TFT_LumoraDVD_SubForm();
  new TFT_LumoraDVD_FullScreenForm();
  return main;
}

void DestroyPlayerWindows() {
  delete FT_LumoraDVD_FullScreenForm;
  delete FT_LumoraDVD_SubForm;
  delete FT_LumoraDVD_ShadowForm;
  delete FT_LumoraDVD_OperationForm;
  delete FT_LumoraDVD_MainForm;
}
