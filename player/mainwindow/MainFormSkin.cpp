// Applying a skin to every window.
#include "mainwindow/Ft_lumoradvdmainform.h"

bool TFT_LumoraDVD_MainForm::ApplySkin(const std::string& path) {
  CurrentSkinPath = path;
  // No skin loader is linked in: report failure so the caller falls back.
  return false;
}
