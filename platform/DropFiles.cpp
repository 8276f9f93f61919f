#include "platform/DropFiles.h"

#include <QMimeData>
#include <QUrl>
#include <map>
#include <mutex>

namespace plat {
namespace {

std::mutex g_mutex;
std::map<WPARAM, std::vector<std::string>> g_drops;
WPARAM g_next = 0x5630000;

}  // namespace

DroppedItems DroppedLocalFiles(const QMimeData* mime) {
  DroppedItems out;
  if (!mime || !mime->hasUrls()) return out;
  for (const QUrl& url : mime->urls()) {
    // Only file: URLs name something here; a file manager's remote mounts arrive as file:
    // paths too, anything else (http, smb, sftp) would need downloading first.
    if (url.isLocalFile() && !url.toLocalFile().isEmpty())
      out.paths.push_back(url.toLocalFile().toStdString());
    else
      ++out.refused;
  }
  return out;
}

WPARAM CreateDropHandle(const std::vector<std::string>& paths) {
  if (paths.empty()) return 0;
  std::lock_guard lk(g_mutex);
  const WPARAM h = ++g_next;
  g_drops[h] = paths;
  return h;
}

size_t DragQueryFileCount(WPARAM drop) {
  std::lock_guard lk(g_mutex);
  auto it = g_drops.find(drop);
  return it == g_drops.end() ? 0 : it->second.size();
}

std::string DragQueryFile(WPARAM drop, size_t index) {
  std::lock_guard lk(g_mutex);
  auto it = g_drops.find(drop);
  if (it == g_drops.end() || index >= it->second.size()) return {};
  return it->second[index];
}

void DragFinish(WPARAM drop) {
  std::lock_guard lk(g_mutex);
  g_drops.erase(drop);
}

size_t OpenDropHandleCount() {
  std::lock_guard lk(g_mutex);
  return g_drops.size();
}

}  // namespace plat
