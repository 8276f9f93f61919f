#include "player/library/TFT_ScrollList.h"

#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

namespace {

int Clamp(int v, int lo, int hi) {
  if (hi < lo) return lo;
  return v < lo ? lo : (v > hi ? hi : v);
}

}  // namespace

TFramedRow::TFramedRow(QWidget* parent) : TImage(parent) {
  // The row is painted whole; nothing of the list shows through it.
  SetTransparent(false);
  SetAutoSize(false);
}

void TFramedRow::SetFace(const QImage& face) {
  face_ = face;
  SetFrameColour(frame_);
}

void TFramedRow::SetFrameColour(const QColor& c) {
  frame_ = c;
  if (face_.isNull()) return;
  QImage drawn = face_;
  QPainter p(&drawn);
  p.setPen(QPen(c, 2));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRect(1, 1, drawn.width() - 2, drawn.height() - 2));
  p.end();
  SetPicture(drawn);
}

TFT_ScrollList::TFT_ScrollList(QWidget* parent) : TPanel(parent) {
  // The frame's parts and rows belong to the list, not to the window's components.
  components::SetOwner(this);
  SetBevelOuter(bvNone);

  // Created in this order so the alignment and the stacking come out right: the scroll
  // column takes the right edge first, the client area the rest; rows lie above the
  // background, the thumb above the track.
  scrollPanel_ = new TPanel(this);
  scrollPanel_->setObjectName("ScrollPanel");
  scrollPanel_->SetParentBackground(true);
  scrollPanel_->resize(0, height());
  scrollPanel_->SetAlign(alRight);
  scrollPanel_->hide();
  track_ = new TImage(scrollPanel_);
  track_->setObjectName("Track");
  track_->SetStretch(true);
  track_->SetAlign(alClient);
  thumb_ = new TImage(scrollPanel_);
  thumb_->setObjectName("Thumb");
  thumb_->SetAutoSize(true);
  thumb_->setGeometry(0, 0, 0, 0);

  clientPanel_ = new TPanel(this);
  clientPanel_->setObjectName("ClientPanel");
  clientPanel_->SetParentBackground(true);
  clientPanel_->SetAlign(alClient);
  background_ = new TImage(clientPanel_);
  background_->setObjectName("Background");
  background_->SetStretch(true);
  background_->SetAlign(alClient);
  bottom_ = new TImage(clientPanel_);
  bottom_->setObjectName("Bottom");
  // At its own height, across the whole width.
  bottom_->SetAutoSize(true);
  bottom_->SetStretch(true);
  bottom_->resize(0, 0);
  bottom_->SetAlign(alBottom);

  thumb_->installEventFilter(this);
  track_->installEventFilter(this);
}

void TFT_ScrollList::SetThumbPicture(const QImage& img) {
  thumb_->SetPicture(img);
  SetThumbTop(ThumbTop());
}

void TFT_ScrollList::SetThumbLeft(int left) { thumb_->move(left, thumb_->y()); }

void TFT_ScrollList::SetTrackPicture(const QImage& img) {
  track_->SetPicture(img);
  if (!img.isNull()) SetTrackWidth(img.width());
}

void TFT_ScrollList::SetTrackWidth(int width) {
  scrollPanel_->resize(std::max(0, width), scrollPanel_->height());
  components::AlignControls(this);
}

void TFT_ScrollList::SetBackgroundPicture(const QImage& img) { background_->SetPicture(img); }

void TFT_ScrollList::SetBottomPicture(const QImage& img) {
  bottom_->SetPicture(img);
  if (img.isNull()) bottom_->resize(bottom_->width(), 0);
  components::AlignControls(clientPanel_);
}

bool TFT_ScrollList::ApplySkinParts(const QImage& thumb, const QImage& track,
                                    const QImage& background, const QImage& bottom, int thumbLeft,
                                    int columnWidth) {
  if (thumb.isNull() || track.isNull() || background.isNull() || bottom.isNull()) return false;
  SetThumbPicture(thumb);
  SetThumbLeft(thumbLeft);
  SetTrackPicture(track);
  SetTrackWidth(columnWidth);
  SetBackgroundPicture(background);
  SetBottomPicture(bottom);
  return true;
}

int TFT_ScrollList::ThumbTop() const { return thumb_->y(); }

int TFT_ScrollList::ThumbRange() const { return height() - thumb_->height(); }

bool TFT_ScrollList::ScrollBarShown() const { return !scrollPanel_->isHidden(); }

void TFT_ScrollList::SetThumbTop(int top) {
  thumb_->move(thumb_->x(), Clamp(top, 0, ThumbRange()));
  UpdateScroll();
}

void TFT_ScrollList::ContentChanged() {
  if (i_UpdateHold > 0) return;
  const int rowHeight = std::max(1, RowHeight());
  i_ContentHeight = RowCount() * rowHeight;
  i_VisibleRows = height() / rowHeight;
  scrollPanel_->setVisible(height() < i_ContentHeight);
  UpdateScroll();
}

void TFT_ScrollList::UpdateScroll() {
  if (ScrollBarShown()) {
    const int hiddenRows = RowCount() - i_VisibleRows;
    if (hiddenRows <= 0) {
      scrollPanel_->hide();
    } else {
      const int divisor = ThumbRange();
      if (divisor >= 1)
        i_FirstRow = static_cast<int>(static_cast<qint64>(hiddenRows) * ThumbTop() / divisor);
    }
  }
  if (!ScrollBarShown()) {
    i_FirstRow = 0;
    thumb_->move(thumb_->x(), 0);
  }
  LayoutRows();
}

bool TFT_ScrollList::eventFilter(QObject* watched, QEvent* e) {
  if (watched != thumb_ && watched != track_) return false;
  if (!isEnabled() && dynamic_cast<QMouseEvent*>(e)) return false;
  switch (e->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
      auto* me = static_cast<QMouseEvent*>(e);
      if (me->button() != Qt::LeftButton) break;
      if (watched == track_) {
        // Centre the thumb on the press, then drag it from there.
        const int y = me->position().toPoint().y();
        thumb_->move(thumb_->x(), Clamp(y - thumb_->height() / 2, 0, ThumbRange()));
        UpdateScroll();
      }
      b_ThumbDragging = true;
      pt_ThumbDragStart = me->globalPosition().toPoint();
      i_ThumbStartTop = ThumbTop();
      break;
    }
    case QEvent::MouseMove:
      if (b_ThumbDragging) {
        const int dy =
            static_cast<QMouseEvent*>(e)->globalPosition().toPoint().y() - pt_ThumbDragStart.y();
        SetThumbTop(i_ThumbStartTop + dy);
      }
      break;
    case QEvent::MouseButtonRelease:
      if (static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton) b_ThumbDragging = false;
      break;
    default:
      break;
  }
  return false;
}

void TFT_ScrollList::resizeEvent(QResizeEvent* e) {
  TPanel::resizeEvent(e);
  // Align first: the scroll column's height is the list's.
  components::AlignControls(this);
  const int rowHeight = std::max(1, RowHeight());
  scrollPanel_->setVisible(height() < i_ContentHeight);
  i_VisibleRows = height() / rowHeight;
  if (ScrollBarShown()) thumb_->move(thumb_->x(), Clamp(ThumbTop(), 0, ThumbRange()));
  UpdateScroll();
}
