// Check marks of the control panel's menu entries as the panel knows them. Qt flips a checkable
// entry by itself when it is clicked, before the click handler runs; the handlers decide from
// the mark they set last and then show it again.
#pragma once

#include <QVariant>

#include "player/widgets/TPopupMenu.h"

namespace menumarks {

inline void Mark(TMenuItem* item, bool on) {
  if (!item) return;
  item->setProperty("lumoraMark", on);
  item->setCheckable(true);
  item->setChecked(on);
}

inline bool Marked(const TMenuItem* item) {
  if (!item) return false;
  const QVariant v = item->property("lumoraMark");
  return v.isValid() ? v.toBool() : item->isChecked();
}

// Shows the mark the panel set, undoing Qt's own flip of a clicked entry.
inline void ShowMark(TMenuItem* item) {
  if (item && item->property("lumoraMark").isValid()) item->setChecked(Marked(item));
}

}  // namespace menumarks
