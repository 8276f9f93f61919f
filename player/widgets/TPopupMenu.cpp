#include "player/widgets/TPopupMenu.h"

namespace {

QList<TMenuItem*> ItemsOf(const QWidget* menu) {
  QList<TMenuItem*> out;
  if (!menu) return out;
  for (QAction* a : menu->actions())
    if (auto* item = qobject_cast<TMenuItem*>(a)) out.push_back(item);
  return out;
}

void InsertInto(QWidget* menu, int index, TMenuItem* item) {
  QList<TMenuItem*> items = ItemsOf(menu);
  if (index < 0 || index >= items.size())
    menu->addAction(item);
  else
    menu->insertAction(items[index], item);
}

}  // namespace

TMenuItem::TMenuItem(QObject* parent) : QAction(parent) {
  components::Register(this);
  connect(this, &QAction::triggered, this, [this] {
    if (radio_) {
      // Radio items of one group switch each other off.
      if (auto* menu = qobject_cast<QWidget*>(this->parent()))
        for (TMenuItem* other : ItemsOf(menu))
          if (other != this && other->radio_ && other->groupIndex_ == groupIndex_)
            other->setChecked(false);
      setChecked(true);
    }
    TNotifyEvent handler = OnClick;
    if (handler) handler(this);
  });
}

TMenuItem::~TMenuItem() { delete sub_; }

void TMenuItem::SetCaption(const QString& c) {
  // A separator keeps no text: styles would draw it as a section label beside the line.
  setSeparator(c == "-");
  setText(c == "-" ? QString() : c);
}

void TMenuItem::SetChecked(bool on) {
  if (on) setCheckable(true);
  setChecked(on);
}

void TMenuItem::SetRadioItem(bool on) {
  radio_ = on;
  setCheckable(true);
}

void TMenuItem::Add(TMenuItem* item) { Insert(-1, item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item) return;
  if (!sub_) {
    sub_ = new QMenu();
    setMenu(sub_);
  }
  item->setParent(sub_);
  InsertInto(sub_, index, item);
}

void TMenuItem::Remove(TMenuItem* item) {
  if (sub_ && item) sub_->removeAction(item);
}

void TMenuItem::Clear() {
  for (TMenuItem* item : ItemsOf(sub_)) {
    sub_->removeAction(item);
    delete item;
  }
}

int TMenuItem::Count() const { return ItemsOf(sub_).size(); }

TMenuItem* TMenuItem::Item(int index) const {
  QList<TMenuItem*> items = ItemsOf(sub_);
  return index >= 0 && index < items.size() ? items[index] : nullptr;
}

TPopupMenu::TPopupMenu(QWidget* parent) : QMenu(parent) { components::Register(this); }

void TPopupMenu::Add(TMenuItem* item) { Insert(-1, item); }

void TPopupMenu::Insert(int index, TMenuItem* item) {
  if (!item) return;
  item->setParent(this);
  InsertInto(this, index, item);
}

void TPopupMenu::Remove(TMenuItem* item) {
  if (item) removeAction(item);
}

void TPopupMenu::Clear() {
  for (TMenuItem* item : ItemsOf(this)) {
    removeAction(item);
    delete item;
  }
}

int TPopupMenu::Count() const { return ItemsOf(this).size(); }

TMenuItem* TPopupMenu::Item(int index) const {
  QList<TMenuItem*> items = ItemsOf(this);
  return index >= 0 && index < items.size() ? items[index] : nullptr;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  popup(QPoint(x, y));
}
