#include "settings/Ft_lumoradvdsetupform.h"

#include "core/Ft_lumoradvdstate.h"
#include "platform/Window.h"

TFT_LumoraDVD_SetupForm::TFT_LumoraDVD_SetupForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
  FT_LumoraDVD_SetupForm = this;
  setObjectName("FT_LumoraDVD_SetupForm");
  plat::RegisterWindow(this);
}

TFT_LumoraDVD_SetupForm::~TFT_LumoraDVD_SetupForm() {
  if (FT_LumoraDVD_SetupForm == this) FT_LumoraDVD_SetupForm = nullptr;
}

void TFT_LumoraDVD_SetupForm::OnScanProgress(WPARAM found, LPARAM channel) {
  // The channel scan page records what the scan reports.
  emit ScanProgress(static_cast<qulonglong>(found), static_cast<qlonglong>(channel));
}
