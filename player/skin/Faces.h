// Helpers that build the windows' component trees: each component gets its name, parent,
// alignment and design-time geometry in one call, in the order the trees list them.
#pragma once

#include <QRect>

#include "player/widgets/Components.h"

class QWidget;
class QObject;
class TPanel;
class TImage;
class TLabel;
class TPopupMenu;
class TMenuItem;
class TTimer;
class TskImageButton;

namespace faces {

TPanel* Panel(QWidget* parent, const char* name, TAlign align, QRect geometry);

struct ImageLayout {
  TAlign align = alNone;
  bool autoSize = false;
  bool stretch = false;
  bool center = false;
  bool mouseThrough = false;  // presses go to what lies beneath
};
TImage* Image(QWidget* parent, const char* name, QRect geometry, ImageLayout layout);

// Image buttons; autoSize: the button takes its normal picture's size.
TskImageButton* Button(QWidget* parent, const char* name, QRect geometry, bool autoSize);

TPopupMenu* Menu(QWidget* owner, const char* name);
TMenuItem* Item(TPopupMenu* menu, const char* name, const char* caption);
TMenuItem* Item(TMenuItem* parent, const char* name, const char* caption);
TTimer* Timer(QObject* owner, const char* name, int intervalMs, bool enabled);

}  // namespace faces
