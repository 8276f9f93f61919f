#include "player/skin/Faces.h"

#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"
#include "player/widgets/TPopupMenu.h"
#include "player/widgets/TTimer.h"
#include "player/widgets/TskImageButton.h"

namespace faces {

TPanel* Panel(QWidget* parent, const char* name, TAlign align, QRect geometry) {
  auto* p = new TPanel(parent);
  p->setObjectName(name);
  p->setGeometry(geometry);
  p->SetBevelOuter(bvNone);
  p->SetAlign(align);
  return p;
}

TImage* Image(QWidget* parent, const char* name, QRect geometry, ImageLayout layout) {
  auto* img = new TImage(parent);
  img->setObjectName(name);
  img->setGeometry(geometry);
  img->SetAutoSize(layout.autoSize);
  img->SetStretch(layout.stretch);
  img->SetCenter(layout.center);
  if (layout.mouseThrough) img->setAttribute(Qt::WA_TransparentForMouseEvents);
  img->SetAlign(layout.align);
  return img;
}

TskImageButton* Button(QWidget* parent, const char* name, QRect geometry, bool autoSize) {
  auto* b = new TskImageButton(parent);
  b->setObjectName(name);
  b->setGeometry(geometry);
  b->SetAutoSize(autoSize);
  return b;
}

TPopupMenu* Menu(QWidget* owner, const char* name) {
  auto* m = new TPopupMenu(owner);
  m->setObjectName(name);
  return m;
}

TMenuItem* Item(TPopupMenu* menu, const char* name, const char* caption) {
  auto* item = new TMenuItem(menu);
  item->setObjectName(name);
  item->SetCaption(caption);
  menu->Add(item);
  return item;
}

TMenuItem* Item(TMenuItem* parent, const char* name, const char* caption) {
  auto* item = new TMenuItem(parent);
  item->setObjectName(name);
  item->SetCaption(caption);
  parent->Add(item);
  return item;
}

TTimer* Timer(QObject* owner, const char* name, int intervalMs, bool enabled) {
  auto* t = new TTimer(owner);
  t->setObjectName(name);
  t->SetInterval(intervalMs);
  t->SetEnabled(enabled);
  return t;
}

}  // namespace faces
