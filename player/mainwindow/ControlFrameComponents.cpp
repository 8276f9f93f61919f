// The control bar's component tree.
#include "mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/widgets/Components.h"

void TFT_LumoraDVD_ControlFrame::CreateComponents() { components::SetOwner(this); }
