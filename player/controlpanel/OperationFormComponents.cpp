// The control panel's component tree.
#include "controlpanel/Ft_lumoradvdoperationform.h"
#include "player/widgets/Components.h"

void TFT_LumoraDVD_OperationForm::CreateComponents() { components::SetOwner(this); }
