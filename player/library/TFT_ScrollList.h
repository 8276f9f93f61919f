// The skinned scrolling frame the side panel's lists share: a client area with a stretched
// background and a bottom picture, and a scroll column with a track and a draggable thumb.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "player/widgets/TImage.h"
#include "player/widgets/TPanel.h"

// A list row painted whole as one picture, with a coloured frame drawn over it (the bookmark
// and snapshot rows).
class TFramedRow : public TImage {
 public:
  explicit TFramedRow(QWidget* parent);

  void SetFace(const QImage& face);
  void SetFrameColour(const QColor& c);
  QColor FrameColour() const { return frame_; }

 private:
  QImage face_;
  QColor frame_{128, 128, 128};
};

class TFT_ScrollList : public TPanel {
  Q_OBJECT
 public:
  explicit TFT_ScrollList(QWidget* parent = nullptr);

  // Skin parts. Each setter copies its picture.
  void SetThumbPicture(const QImage& img);       // shown at its own size
  void SetThumbLeft(int left);                   // within the scroll column
  void SetTrackPicture(const QImage& img);       // the track takes the picture's width
  void SetTrackWidth(int width);                 // the track's and the scroll column's width
  void SetBackgroundPicture(const QImage& img);  // stretched over the list area
  void SetBottomPicture(const QImage& img);      // along the bottom, at its own height
  // All of the above in the loader's order; false (nothing changed) when a picture is null.
  bool ApplySkinParts(const QImage& thumb, const QImage& track, const QImage& background,
                      const QImage& bottom, int thumbLeft, int columnWidth);

  // Height of one row in pixels.
  virtual int RowHeight() const = 0;
  // Number of entries, shown or not.
  virtual int RowCount() const = 0;

  TPanel* ClientPanel() const { return clientPanel_; }
  TPanel* ScrollPanel() const { return scrollPanel_; }
  TImage* BackgroundImage() const { return background_; }
  TImage* BottomImage() const { return bottom_; }
  TImage* TrackImage() const { return track_; }
  TImage* ThumbImage() const { return thumb_; }

  int ThumbTop() const;
  // Moves the thumb (clamped into the column) and scrolls the rows after it.
  void SetThumbTop(int top);
  bool ScrollBarShown() const;

  int i_FirstRow = -1;
  int i_VisibleRows = 0;
  int i_ContentHeight = 0;
  bool b_ThumbDragging = false;
  QPoint pt_ThumbDragStart;
  int i_ThumbStartTop = 0;

 protected:
  // Entries changed: content height, visible rows and the scroll column are updated, then
  // the first row follows the thumb and the rows are laid out.
  void ContentChanged();
  // The first row from the thumb's place, then LayoutRows.
  void UpdateScroll();
  // Places the visible rows; called after every change of entries, scroll position or size.
  virtual void LayoutRows() = 0;

  // Row keeping the lists share over their own item vectors. `refs` are the list's
  // playing/selected pointers, cleared when they name a row that goes.

  void Forget(QWidget* row) {
    shown_.erase(std::remove(shown_.begin(), shown_.end(), row), shown_.end());
  }
  // Takes ownership of a new row: it goes into the client area, hidden until laid out.
  template <class Item>
  void AppendRow(std::vector<Item*>& items, Item* item) {
    if (!item) return;
    // Rows are normally made in the client area already, and a new child lies on top of its
    // siblings: raising it again would search all of them, which makes long lists quadratic.
    if (item->parentWidget() != clientPanel_) {
      item->setParent(clientPanel_);
      item->raise();
    }
    item->hide();
    items.push_back(item);
    ContentChanged();
  }
  // Removes and deletes the row at index; out of range does nothing.
  template <class Item>
  void RemoveRow(std::vector<Item*>& items, int index, std::initializer_list<Item**> refs) {
    if (index < 0 || index >= static_cast<int>(items.size())) return;
    Item* item = items[index];
    for (Item** ref : refs)
      if (*ref == item) *ref = nullptr;
    items.erase(items.begin() + index);
    Forget(item);
    delete item;
    ContentChanged();
  }
  template <class Item>
  void ClearRows(std::vector<Item*>& items, std::initializer_list<Item**> refs) {
    for (Item** ref : refs) *ref = nullptr;
    std::vector<Item*> old;
    old.swap(items);
    shown_.clear();
    for (Item* item : old) delete item;
    ContentChanged();
  }
  // Row height limited to 1..100.
  void StoreRowHeight(int& field, int h) {
    field = std::clamp(h, 1, 100);
    ContentChanged();
  }
  // Shows the rows `pass` accepts from the first row on, one under the other from `top`;
  // hides the rest. Only rows shown before are hidden again, so long lists stay quick.
  template <class Item, class Pass>
  void PlaceRows(const std::vector<Item*>& items, int top, int rowHeight, Pass pass) {
    const int first = std::max(0, i_FirstRow);
    std::vector<QWidget*> now;
    int passed = 0;
    for (Item* item : items) {
      if (static_cast<int>(now.size()) >= i_VisibleRows) break;
      if (!pass(item)) continue;
      if (passed++ < first) continue;
      item->move(item->x(), top + rowHeight * static_cast<int>(now.size()));
      now.push_back(item);
    }
    for (QWidget* old : shown_)
      if (std::find(now.begin(), now.end(), old) == now.end()) old->hide();
    for (QWidget* w : now) w->show();
    shown_.swap(now);
  }
  // While updates are held, adding and removing rows does not lay the list out; the
  // matching EndUpdate does it once.
  void BeginUpdate() { ++i_UpdateHold; }
  void EndUpdate() {
    if (i_UpdateHold > 0 && --i_UpdateHold == 0) ContentChanged();
  }
  int i_UpdateHold = 0;
  std::vector<QWidget*> shown_;  // rows the last layout showed

  bool eventFilter(QObject* watched, QEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  int ThumbRange() const;

  TPanel* clientPanel_ = nullptr;
  TPanel* scrollPanel_ = nullptr;
  TImage* background_ = nullptr;
  TImage* bottom_ = nullptr;
  TImage* track_ = nullptr;
  TImage* thumb_ = nullptr;
};
