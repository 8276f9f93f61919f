// The framework's popup menu and its items.
#pragma once

#include <QAction>
#include <QMenu>
#include <QString>

#include "player/widgets/Components.h"

class TPopupMenu;

class TMenuItem : public QAction {
  Q_OBJECT
 public:
  // parent is the menu (or submenu item) that holds the item; it may be set later with Add.
  explicit TMenuItem(QObject* parent = nullptr);
  ~TMenuItem() override;

  QString Caption() const { return isSeparator() ? QStringLiteral("-") : text(); }
  // "-" makes a separator, as in the framework.
  void SetCaption(const QString& c);

  bool Checked() const { return isChecked(); }
  void SetChecked(bool on);
  // Radio items of one group index exclude each other.
  void SetRadioItem(bool on);
  void SetGroupIndex(int g) { groupIndex_ = g; }
  int GroupIndex() const { return groupIndex_; }
  bool Enabled() const { return isEnabled(); }
  void SetEnabled(bool on) { setEnabled(on); }
  bool Visible() const { return isVisible(); }
  void SetVisible(bool on) { setVisible(on); }
  int Tag() const { return tag_; }
  void SetTag(int t) { tag_ = t; }

  // Sub-items; the submenu is created on the first one.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Clear();  // deletes every sub-item
  int Count() const;
  TMenuItem* Item(int index) const;
  QMenu* SubMenu() const { return sub_; }

  TNotifyEvent OnClick;

 private:
  friend class TPopupMenu;
  QMenu* sub_ = nullptr;
  int groupIndex_ = 0;
  int tag_ = 0;
  bool radio_ = false;
};

class TPopupMenu : public QMenu {
  Q_OBJECT
 public:
  explicit TPopupMenu(QWidget* parent = nullptr);

  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);
  void Clear();
  int Count() const;
  TMenuItem* Item(int index) const;

  // Shows the menu at a screen point; OnPopup runs first so items can be updated.
  void Popup(int x, int y);

  TNotifyEvent OnPopup;
};
