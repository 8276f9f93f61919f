// Files dropped from a file manager, carried by the dropped-files message (563) as a handle
// that the receiver queries and then releases.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/Types.h"

class QMimeData;

namespace plat {

// What a drop offers: the local paths in the dropped order, and how many items were not
// local files (web links, remote shares), which the player does not open.
struct DroppedItems {
  std::vector<std::string> paths;
  size_t refused = 0;
};
// Reads the URI list of a drag (text/uri-list). UI thread.
DroppedItems DroppedLocalFiles(const QMimeData* mime);

// A handle owning a copy of the paths; 0 for an empty list. Any thread.
WPARAM CreateDropHandle(const std::vector<std::string>& paths);
// Number of paths, 0 for an unknown or released handle.
size_t DragQueryFileCount(WPARAM drop);
// Path at index, whole (no length limit); "" when out of range.
std::string DragQueryFile(WPARAM drop, size_t index);
// Releases the handle; later queries find nothing.
void DragFinish(WPARAM drop);
// Handles not yet released (tests check that none leak).
size_t OpenDropHandleCount();

}  // namespace plat
