// The shadow window's face: a plain button-face rectangle, shown as an outline once sized.
#include <QPalette>

#include "player/mainwindow/Ft_lumoradvdshadowform.h"
#include "player/widgets/Components.h"

void TFT_LumoraDVD_ShadowForm::CreateComponents() {
  components::SetOwner(this);
  resize(159, 39);
  QPalette pal = palette();
  pal.setColor(QPalette::Window, pal.color(QPalette::Button));
  setPalette(pal);
  setAutoFillBackground(true);
}
