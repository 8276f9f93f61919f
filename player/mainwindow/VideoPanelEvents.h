// The video panel of the main window and of the full-screen window: its mouse events go to the
// window's handlers of the same names, and the idle picture over it lets the mouse through.
#pragma once

#include <QWidget>

#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"

template <class Form>
void ConnectVideoPanel(Form* form, TPanel* panel, TImage* idlePicture) {
  if (idlePicture) idlePicture->setAttribute(Qt::WA_TransparentForMouseEvents);
  if (!panel) return;
  panel->OnMouseDown = [form](QObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    form->Panel_MainForm_CenterMouseDown(s, b, sh, x, y);
  };
  panel->OnMouseMove = [form](QObject* s, TShiftState sh, int x, int y) {
    form->Panel_MainForm_CenterMouseMove(s, sh, x, y);
  };
  panel->OnMouseUp = [form](QObject* s, TMouseButton b, TShiftState sh, int x, int y) {
    form->Panel_MainForm_CenterMouseUp(s, b, sh, x, y);
  };
  // Only the full-screen window answers a single click (it toggles the floating panel).
  if constexpr (requires { form->Panel_MainForm_CenterClick(nullptr); })
    panel->OnClick = [form](QObject* s) { form->Panel_MainForm_CenterClick(s); };
  panel->OnDblClick = [form](QObject* s) { form->Panel_MainForm_CenterDblClick(s); };
  panel->setMouseTracking(true);
}
