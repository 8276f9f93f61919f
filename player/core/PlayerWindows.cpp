#include "core/PlayerWindows.h"

#include "controlpanel/Ft_lumoradvdoperationform.h"
#include "library/Ft_lumoradvdsubform.h"
#include "mainwindow/Ft_lumoradvdfullscreenform.h"
#include "mainwindow/Ft_lumoradvdmainform.h"
#include "mainwindow/Ft_lumoradvdshadowform.h"

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
