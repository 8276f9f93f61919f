// The shadow window's component tree.
#include "mainwindow/Ft_lumoradvdshadowform.h"
#include "player/widgets/Components.h"

void TFT_LumoraDVD_ShadowForm::CreateComponents() { components::SetOwner(this); }
