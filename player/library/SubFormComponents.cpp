// The side panel's component tree.
#include "library/Ft_lumoradvdsubform.h"
#include "player/widgets/Components.h"

void TFT_LumoraDVD_SubForm::CreateComponents() { components::SetOwner(this); }
