#include "player/skin/Ft_updateplayerskin.h"

#include <QWidget>
#include <algorithm>
#include <vector>

#include "platform/Bitmap.h"
#include "platform/Diagnostics.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "player/library/TFT_Bookmark.h"
#include "player/library/TFT_ScrollList.h"
#include "player/library/TFT_Snapshot.h"
#include "player/skin/SkinRecord.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/Components.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TskImageButton.h"

using skin::ControlKind;
using skin::RecordField;
using skin::RecordFlag;
using skin::RecordInt;
using skin::ValueWord;

namespace {

std::string g_skinFolder;

// Sizes from a skin are bounded: a huge width or height would make every repaint allocate a
// picture of that size, which a damaged Skin.ini must not be able to ask for.
constexpr int kMaxExtent = 8192;
int Extent(int v) { return std::clamp(v, 0, kMaxExtent); }

// One pass: the open Skin.ini and the window's drawing held back until it ends.
class Pass {
 public:
  Pass(QWidget* window, const std::string& folder)
      : window_(window), wasEnabled_(window->updatesEnabled()) {
    g_skinFolder = skin::NormaliseFolder(folder);
    ini_.load(g_skinFolder + "Skin.ini");
    window_->setUpdatesEnabled(false);
  }
  ~Pass() {
    window_->setUpdatesEnabled(wasEnabled_);
    if (wasEnabled_) window_->update();
  }
  Pass(const Pass&) = delete;
  Pass& operator=(const Pass&) = delete;

  const plat::ProfileFile& ini() const { return ini_; }
  std::string Value(const std::string& section, const std::string& key) const {
    return ini_.get(section, key, "Wrong");
  }

 private:
  QWidget* window_;
  bool wasEnabled_;
  plat::ProfileFile ini_;
};

bool HasSkinIni(const std::string& folder) {
  std::string path = skin::SkinFilePath(skin::NormaliseFolder(folder), "Skin.ini");
  if (skin::SkinFileExists(path)) return true;
  plat::Diagnose("skin", "refused " + folder + ": no Skin.ini");
  return false;
}

// The control whose record could not be applied, and the record, for a problem report.
void DiagnoseControl(const std::string& folder, const std::string& section, const std::string& name,
                     const std::string& value) {
  plat::Diagnose("skin", "refused " + folder + ": [" + section + "] " + name + "=" + value +
                             " (a picture it names is missing or unreadable, or the record is "
                             "malformed)");
}

std::string FilePath(const std::string& value, int n) {
  return skin::SkinFilePath(g_skinFolder, RecordField(value, n));
}

// A file the record names and that exists, loaded; null when missing or unreadable.
QImage LoadField(const std::string& value, int n) {
  std::string path = FilePath(value, n);
  if (!skin::SkinFileExists(path)) return QImage();
  return plat::LoadBitmap(path);
}

void Place(QWidget* w, const std::string& value) {
  w->move(RecordInt(value, 6), RecordInt(value, 5));
}

bool ReadImageButton(TskImageButton* b, const std::string& value) {
  if (skin::ClassifyValue(value, ControlKind::ImageButton) == ValueWord::Invisible) {
    b->hide();
    return true;
  }
  Place(b, value);
  b->resize(Extent(RecordInt(value, 7)), Extent(RecordInt(value, 8)));
  // A picture that exists but cannot be read fails like a missing one: the button would
  // otherwise show nothing at all.
  QImage normal = LoadField(value, 1);
  if (normal.isNull()) return false;
  b->SetPicNormal(normal);
  for (int n = 2; n <= 4; ++n) {
    QImage pic;
    std::string path = FilePath(value, n);
    if (skin::SkinFileExists(path)) {
      pic = plat::LoadBitmap(path);
      if (pic.isNull()) return false;
    } else if (RecordField(value, n).empty()) {
      pic = normal;
    } else {
      return false;
    }
    if (n == 2) b->SetPicMouseOn(pic);
    if (n == 3) b->SetPicMouseDown(pic);
    if (n == 4) b->SetPicDisabled(pic);
  }
  b->setVisible(RecordFlag(value, 9));
  b->SetEnabled(RecordFlag(value, 10));
  b->SetTransparent(RecordFlag(value, 12));
  if (RecordFlag(value, 11)) {
    b->ApplyShape(kKeyColour);
    b->repaint();
  } else {
    b->ClearShape();
  }
  std::string hint = RecordField(value, 13);
  b->SetHint(QString::fromStdString(hint));
  b->SetShowHint(!hint.empty());
  b->update();
  return true;
}

bool ReadImage(TImage* img, const std::string& value) {
  if (skin::ClassifyValue(value, ControlKind::Image) == ValueWord::Clear) {
    img->ClearPicture();
    return true;
  }
  QImage pic = LoadField(value, 1);
  if (pic.isNull()) return false;
  img->SetPicture(pic);
  Place(img, value);
  const int w = Extent(RecordInt(value, 7)), h = Extent(RecordInt(value, 8));
  QWidget* parent = img->parentWidget();
  if (parent && std::string(parent->metaObject()->className()) == "TPanel" &&
      RecordField(value, 14) == "1") {
    parent->resize(parent->width(), h);
    parent->resize(w, parent->height());
  }
  // A picture laid out to size itself to its bitmap keeps the bitmap's size.
  if (!img->AutoSize()) img->resize(w, h);
  img->setVisible(RecordFlag(value, 9));
  img->setEnabled(RecordFlag(value, 10));
  img->SetTransparent(RecordFlag(value, 12));
  img->update();
  return true;
}

bool ReadProgressBar(TFT_ProgressBar* bar, const std::string& value) {
  for (int n : {1, 4, 14, 15})
    if (!skin::SkinFileExists(FilePath(value, n))) return false;
  QImage normal = LoadField(value, 1);
  QImage hover = LoadField(value, 2);
  QImage pressed = LoadField(value, 3);
  bar->vertical = RecordFlag(value, 11);
  bar->thumbAlways = RecordFlag(value, 12);
  if (!bar->SetThumbImages(normal, hover, pressed)) return false;
  QImage track = LoadField(value, 4);
  QImage fill = LoadField(value, 14);
  QImage head = LoadField(value, 15);
  const int insetX = RecordInt(value, 7), insetY = RecordInt(value, 8);
  if (!bar->SetTrackImages(track, fill, head, insetX, insetY, track.width() - insetX,
                           track.height() - insetY))
    return false;
  Place(bar, value);
  return true;
}

bool ReadDynamicButton(TFT_DynamicImageButton* b, const std::string& value) {
  if (skin::ClassifyValue(value, ControlKind::DynamicImageButton) == ValueWord::Invisible) {
    b->hide();
    return true;
  }
  std::string path = FilePath(value, 1);
  if (!skin::SkinFileExists(path)) return false;
  QImage strip = plat::LoadBitmap(path);
  b->setVisible(RecordFlag(value, 9));
  Place(b, value);
  b->hasMaskFrame = RecordFlag(value, 11);
  b->hasDisabledFrame = RecordFlag(value, 12);
  // A strip that cannot be cut leaves the button as it was; that is not a skin error.
  b->LoadFrames(strip, RecordInt(value, 7));
  b->frameInterval = RecordInt(value, 14);
  b->loop = RecordFlag(value, 15);
  b->loopPause = RecordInt(value, 8);
  b->SetButtonEnabled(RecordFlag(value, 10));
  return true;
}

bool ReadDigitalImage(TFT_DigitalImage* d, const std::string& value) {
  const std::string prefix = RecordField(value, 1);
  if (!skin::SkinFileExists(skin::SkinFilePath(g_skinFolder, prefix + "0.bmp"))) return false;
  for (int digit = 0; digit <= 9; ++digit) {
    std::string path = skin::SkinFilePath(g_skinFolder, prefix + std::to_string(digit) + ".bmp");
    if (!skin::SkinFileExists(path)) continue;
    QImage bmp = plat::LoadBitmap(path);
    if (!bmp.isNull()) d->SetDigitBitmap(digit, bmp);
  }
  Place(d, value);
  d->setEnabled(RecordFlag(value, 10));
  d->setVisible(RecordFlag(value, 9));
  d->SetTransparent(RecordFlag(value, 12));
  // Showing another digit first makes a new digit-0 bitmap appear even when 0 was shown.
  d->ShowDigit(9);
  return d->ShowDigit(0);
}

bool ReadList(TFT_ScrollList* list, ControlKind kind, const std::string& value) {
  QImage parts[4];
  for (int n = 1; n <= 4; ++n) {
    if (!skin::SkinFileExists(FilePath(value, n))) return false;
    parts[n - 1] = LoadField(value, n);
  }
  if (!list->ApplySkinParts(parts[0], parts[1], parts[2], parts[3], RecordInt(value, 6),
                            RecordInt(value, 7)))
    return false;
  const int row = std::clamp(RecordInt(value, 8), 1, 100);
  if (kind == ControlKind::Bookmark) static_cast<TFT_Bookmark*>(list)->SetRowHeight(row);
  if (kind == ControlKind::Snapshot) static_cast<TFT_Snapshot*>(list)->SetRowHeight(row);
  list->setVisible(RecordFlag(value, 9));
  return true;
}

// Runs the reader of the control's kind; true for kinds that are not looked up.
bool ReadControl(QObject* obj, ControlKind kind, const std::string& value) {
  switch (skin::ClassifyValue(value, kind)) {
    case ValueWord::Wrong:
      return false;
    case ValueWord::Ignore:
      return true;
    default:
      break;
  }
  switch (kind) {
    case ControlKind::ImageButton:
      return ReadImageButton(static_cast<TskImageButton*>(obj), value);
    case ControlKind::Image:
      return ReadImage(static_cast<TImage*>(obj), value);
    case ControlKind::ProgressBar:
      return ReadProgressBar(static_cast<TFT_ProgressBar*>(obj), value);
    case ControlKind::DynamicImageButton:
      return ReadDynamicButton(static_cast<TFT_DynamicImageButton*>(obj), value);
    case ControlKind::DigitalImage:
      return ReadDigitalImage(static_cast<TFT_DigitalImage*>(obj), value);
    case ControlKind::PlayList:
    case ControlKind::Bookmark:
    case ControlKind::Snapshot:
      return ReadList(static_cast<TFT_ScrollList*>(obj), kind, value);
    case ControlKind::Other:
      return true;
  }
  return true;
}

// The controls of the window in ownership order, with their kinds; frames see five kinds.
struct Control {
  QObject* obj;
  ControlKind kind;
};
std::vector<Control> SkinnableControls(QWidget* window, bool frame) {
  std::vector<Control> out;
  for (QObject* obj : components::Components(window)) {
    ControlKind kind = skin::KindOfClass(obj->metaObject()->className());
    if (kind == ControlKind::Other) continue;
    if (frame && !skin::IsFrameKind(kind)) continue;
    out.push_back({obj, kind});
  }
  return out;
}

// Returns the failing control's name, or nothing when every control took its skin.
std::optional<std::string> SkinControls(QWidget* window, const Pass& pass,
                                        const std::string& section, bool frame) {
  for (const Control& c : SkinnableControls(window, frame)) {
    std::string name = c.obj->objectName().toStdString();
    if (!ReadControl(c.obj, c.kind, pass.Value(section, name))) return name;
  }
  return std::nullopt;
}

void ApplySize(QWidget* w, const plat::ProfileFile& ini, const std::string& section) {
  int width = skin::ReadIniInteger(ini, section, "DefaultWidth", -1);
  int height = skin::ReadIniInteger(ini, section, "DefaultHeight", -1);
  if (width > 0) w->resize(Extent(width), w->height());
  if (height > 0) w->resize(w->width(), Extent(height));
}

}  // namespace

std::string SkinSectionName(const QWidget* window) {
  QString name = window->objectName();
  if (!name.isEmpty()) return name.toStdString();
  std::string cls = window->metaObject()->className();
  if (!cls.empty() && cls[0] == 'T') cls.erase(0, 1);
  return cls;
}

std::string SkinErrorText(const std::string& controlName) {
  return controlName + "  Error Skin File";
}

const std::string& LoaderSkinFolder() { return g_skinFolder; }

std::optional<QRegion> BuildColourRegion(const QImage& bitmap, QRgb colour, const QRect& rect) {
  if (bitmap.isNull()) return std::nullopt;
  QImage img = bitmap.convertToFormat(QImage::Format_RGB32);
  QRgb key = colour & 0xFFFFFF;
  if (key == 0) key = img.pixel(0, 0) & 0xFFFFFF;
  const QRect area = rect.normalized() & img.rect();
  std::vector<QRect> runs;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const QRgb* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
    int x = area.left();
    while (x <= area.right()) {
      if ((line[x] & 0xFFFFFF) != key) {
        ++x;
        continue;
      }
      int start = x;
      while (x <= area.right() && (line[x] & 0xFFFFFF) == key) ++x;
      runs.emplace_back(start, y, x - start, 1);
    }
  }
  QRegion region;
  region.setRects(runs.data(), static_cast<int>(runs.size()));
  return region;
}

bool ApplyWindowSkin(QWidget* window, const std::string& folder) {
  if (!window || !HasSkinIni(folder)) return false;
  const std::string section = SkinSectionName(window);
  {
    Pass pass(window, folder);
    if (auto failed = SkinControls(window, pass, section, false)) {
      DiagnoseControl(folder, section, *failed, pass.Value(section, *failed));
      plat::MessageBox(window, SkinErrorText(*failed), "LumoraDVD", plat::MB_OK);
      return false;
    }
    const plat::ProfileFile& ini = pass.ini();
    ApplySize(window, ini, section);
    int top = skin::ReadIniInteger(ini, section, "LastTop", -1);
    int left = skin::ReadIniInteger(ini, section, "LastLeft", -1);
    if (top > 0 && left > 0) {
      window->move(window->x(), top);
      window->move(left, window->y());
    }
    std::string maskName = ini.get(section, "MaskBmp", "No");
    std::string maskPath = skin::SkinFilePath(g_skinFolder, maskName);
    if (skin::SkinFileExists(maskPath)) {
      // A mask that cannot be read is treated like a missing one: the window keeps its shape
      // and size rather than shrinking to nothing.
      QImage mask = plat::LoadBitmap(maskPath);
      if (!mask.isNull()) {
        QRect r(0, 0, mask.width(), mask.height());
        QRegion shape = QRegion(r).subtracted(*BuildColourRegion(mask, kKeyColour, r));
        window->resize(mask.width(), mask.height());
        window->setMask(shape);
      }
    }
  }
  return true;
}

bool ApplyFrameSkin(QWidget* bar, const std::string& folder) {
  if (!bar || !HasSkinIni(folder)) return false;
  const std::string section = SkinSectionName(bar);
  Pass pass(bar, folder);
  if (auto failed = SkinControls(bar, pass, section, true)) {
    DiagnoseControl(folder, section, *failed, pass.Value(section, *failed));
    return false;
  }
  const plat::ProfileFile& ini = pass.ini();
  ApplySize(bar, ini, section);
  int top = skin::ReadIniInteger(ini, section, "DefaultTop", -1);
  int left = skin::ReadIniInteger(ini, section, "DefaultLeft", -1);
  if (top > 0 && left > 0) {
    bar->move(bar->x(), top);
    bar->move(left, bar->y());
  }
  return true;
}

bool ReapplyButtonShapes(QWidget* container, const std::string& folder) {
  if (!container || !HasSkinIni(folder)) return false;
  const std::string section = SkinSectionName(container);
  Pass pass(container, folder);
  for (const Control& c : SkinnableControls(container, true)) {
    if (c.kind != ControlKind::ImageButton) continue;
    std::string value = pass.Value(section, c.obj->objectName().toStdString());
    ValueWord word = skin::ClassifyValue(value, ControlKind::ImageButton);
    if (word == ValueWord::Wrong || word == ValueWord::Ignore) continue;
    if (RecordFlag(value, 11)) static_cast<TskImageButton*>(c.obj)->ApplyShape(kKeyColour);
  }
  return true;
}
