// Window frames every skin shares in structure: the main window, the full-screen strip and the
// side panel. Measures and colours come from the skin's style and palette.
#include <QFileInfo>
#include <QPainterPath>
#include <cstdlib>

#include "Skins.h"

namespace skingen {

const QString kMain = "FT_LumoraDVD_MainForm";
const QString kFull = "FT_LumoraDVD_FullScreenForm";
const QString kSide = "FT_LumoraDVD_SubForm";

QImage TitleStrip(const Palette& pal, int w, int h) {
  QImage img = NewImage(w, h);
  VerticalGradient(img, img.rect(), pal.frameTop, pal.frameBottom);
  QPainter p(&img);
  p.setPen(pal.edgeHighlight);
  p.drawLine(0, 0, w - 1, 0);
  p.setPen(pal.edgeShadow);
  p.drawLine(0, h - 1, w - 1, h - 1);
  return img;
}

QImage ControlStrip(const Palette& pal, int w, int h) {
  QImage img = NewImage(w, h);
  VerticalGradient(img, img.rect(), pal.panelTop, pal.panelBottom);
  QPainter p(&img);
  p.setPen(pal.edgeHighlight);
  p.drawLine(0, 0, w - 1, 0);
  return img;
}

namespace {

// Outer border lines of a frame piece: left/right/bottom sides as asked.
void Border(QImage& img, const Palette& pal, bool left, bool right, bool bottom) {
  QPainter p(&img);
  p.setPen(pal.edgeShadow);
  if (left) p.drawLine(0, 0, 0, img.height() - 1);
  if (right) p.drawLine(img.width() - 1, 0, img.width() - 1, img.height() - 1);
  if (bottom) p.drawLine(0, img.height() - 1, img.width() - 1, img.height() - 1);
}

QImage IdlePicture(const Palette& pal) {
  // The video area around the picture is black in every skin.
  QImage img = NewImage(360, 220, Qt::black);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  QPointF c(180, 84);
  // A disc with a soft sheen and the accent ring.
  QRadialGradient glow(c, 80);
  QColor g = pal.accent;
  g.setAlpha(60);
  glow.setColorAt(0, g);
  glow.setColorAt(1, QColor(0, 0, 0, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(glow);
  p.drawEllipse(c, 80, 80);
  QConicalGradient sheen(c, 30);
  sheen.setColorAt(0.0, QColor(70, 78, 92));
  sheen.setColorAt(0.25, QColor(150, 164, 184));
  sheen.setColorAt(0.5, QColor(60, 66, 78));
  sheen.setColorAt(0.75, QColor(140, 150, 170));
  sheen.setColorAt(1.0, QColor(70, 78, 92));
  p.setBrush(sheen);
  p.setPen(QPen(QColor(20, 22, 26), 1));
  p.drawEllipse(c, 52, 52);
  p.setPen(QPen(pal.accentLight, 2.5));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(c, 40, 40);
  p.setPen(QPen(QColor(20, 22, 26), 1));
  p.setBrush(Qt::black);
  p.drawEllipse(c, 9, 9);
  Palette onDark = pal;
  onDark.text = QColor(236, 240, 246);
  Wordmark(p, QRectF(0, 150, 360, 34), 26, onDark, Qt::AlignHCenter);
  Text(p, QRectF(0, 184, 360, 20), "DVD  \u00b7  VIDEO  \u00b7  TV", 10, QColor(120, 130, 145),
       Qt::AlignCenter, false, 2);
  return img;
}

QImage PopupSide(const Palette& pal) {
  QImage img = NewImage(22, 260);
  QPainter p(&img);
  QLinearGradient g(0, 0, 0, 260);
  g.setColorAt(0, pal.accentDark);
  g.setColorAt(1, pal.accent);
  p.fillRect(img.rect(), g);
  p.translate(16, 250);
  p.rotate(-90);
  Palette white = pal;
  white.text = QColor(255, 255, 255);
  white.wordAccent = QColor(255, 255, 255, 200);
  Wordmark(p, QRectF(0, -16, 200, 20), 13, white, Qt::AlignLeft | Qt::AlignVCenter);
  return img;
}

}  // namespace

QImage BuildMainWindow(SkinBuilder& b, const Style& s, const QImage& bar) {
  const Palette& pal = b.pal();
  const int T = s.titleHeight, E = s.edgeWidth, B = s.statusHeight, C = s.barHeight;
  b.Set(kMain, "DefaultWidth", QString::number(s.mainWidth));
  b.Set(kMain, "DefaultHeight", QString::number(s.mainHeight));
  b.Set(kMain, "MaskBmp", "No");

  // Title strip: left piece with the side-panel switches, stretched centre, title, right piece
  // with the window buttons.
  const int slot = T - 6, leftW = 8 + 4 * (slot + 4);
  QImage topLeft = TitleStrip(pal, leftW, T);
  b.Image(kMain, "Image_Top_Left", "Main/TopLeft", topLeft, {0, 0}, true, false, false, true);
  b.Image(kMain, "Image_Top_Center", "Main/TopCenter", TitleStrip(pal, 4, T), {0, 0}, true, false);
  QImage title = TitleStrip(pal, 180, T);
  {
    QPainter p(&title);
    Wordmark(p, QRectF(0, 0, 180, T), std::max(11, T / 2 - 1), pal, Qt::AlignCenter);
  }
  b.Image(kMain, "Image_Top_InCenter", "Main/Title", title, {0, 0}, true, false);

  struct Pair {
    const char* on;
    const char* off;
    Icon icon;
    const char* hint;
  };
  const Pair pairs[4] = {
      {"skImageButton_PlayList", "skImageButton_DePlayList", Icon::PlayList, "Play List"},
      {"skImageButton_Bookmark", "skImageButton_DeBookmark", Icon::Bookmark, "Bookmarks"},
      {"skImageButton_Snapshoot", "skImageButton_DeSnapshoot", Icon::Snapshot, "Snapshots"},
      {"skImageButton_TV", "skImageButton_DeTV", Icon::Tv, "TV Channels"}};
  for (int i = 0; i < 4; ++i) {
    QRect r(8 + i * (slot + 4), (T - slot) / 2, slot, slot);
    QString base = QString("Main/") + QString(pairs[i].on).mid(14);
    b.Button(kMain, pairs[i].on, base, topLeft, r, pairs[i].icon, ButtonStyle::Glyph, pairs[i].hint,
             true, true, false, 0.6);
    b.Button(kMain, pairs[i].off, QString("Main/") + QString(pairs[i].off).mid(14), topLeft, r,
             pairs[i].icon, ButtonStyle::Active, pairs[i].hint, false, true, false, 0.6);
  }

  const int wb = T - 8, step = wb + 3, rightW = 8 + 4 * step;
  QImage topRight = TitleStrip(pal, rightW, T);
  b.Image(kMain, "Image_Top_Right", "Main/TopRight", topRight, {0, 0}, true, false, false, true);
  auto at = [&](int i) { return QRect(4 + i * step, (T - wb) / 2, wb, wb); };
  b.Button(kMain, "skImageButton_About1", "Main/About1", topRight, at(0), Icon::About,
           s.windowButtons, "About", true, true, false, 0.58);
  b.Button(kMain, "skImageButton_Min", "Main/Min", topRight, at(1), Icon::Minimise, s.windowButtons,
           "Minimize", true, true, false, 0.58);
  b.Button(kMain, "skImageButton_Max", "Main/Max", topRight, at(2), Icon::Maximise, s.windowButtons,
           s.canSetMaxWindow ? "Maximize" : "Full Screen", true, true, false, 0.58);
  b.Button(kMain, "skImageButton_Restore", "Main/Restore", topRight, at(2), Icon::Restore,
           s.windowButtons, "Restore", false, true, false, 0.58);
  b.Button(kMain, "skImageButton_Exit", "Main/Exit", topRight, at(3), Icon::Close, s.windowButtons,
           "Close", true, true, false, 0.58);
  b.Button(kMain, "skImageButton_Home1", "Main/Home1", topRight, at(0), Icon::Home, s.windowButtons,
           "Home Page", false, true, false, 0.58);
  b.Button(kMain, "skImageButton_Email1", "Main/Email1", topRight, at(0), Icon::Mail,
           s.windowButtons, "Mail", false, true, false, 0.58);

  // Side edges: the top part continues the title strip, the rest is the plain edge.
  auto edge = [&](bool left, int h, bool top) {
    QImage img = top ? TitleStrip(pal, E, h) : NewImage(E, h, pal.edge);
    if (!top) {
      QPainter p(&img);
      p.setPen(pal.edgeHighlight);
      int x = left ? E - 2 : 1;
      p.drawLine(x, 0, x, h - 1);
      p.setPen(pal.edgeShadow);
      x = left ? E - 1 : 0;
      p.drawLine(x, 0, x, h - 1);
    }
    Border(img, pal, left, !left, false);
    return img;
  };
  b.Image(kMain, "Image_Left_Top", "Main/LeftTop", edge(true, T, true), {0, 0}, true, false, false,
          true);
  b.Image(kMain, "Image_Left_Center", "Main/LeftCenter", edge(true, 4, false), {0, 0}, true, false);
  b.Image(kMain, "Image_Left_Bottom", "Main/LeftBottom", edge(true, 2, false), {0, 0}, true, false);
  b.Image(kMain, "Image_Right_Top", "Main/RightTop", edge(false, T, true), {0, 0}, true, false,
          false, true);
  b.Image(kMain, "Image_Right_Center", "Main/RightCenter", edge(false, 4, false), {0, 0}, true,
          false);
  b.Image(kMain, "Image_Right_Bottom", "Main/RightBottom", edge(false, 2, false), {0, 0}, true,
          false);

  // Status strip under the picture: file name at the left, resize grip at the right.
  auto status = [&](int w) {
    QImage img = NewImage(w, B);
    VerticalGradient(img, img.rect(), pal.edge, pal.frameBottom);
    QPainter p(&img);
    p.setPen(pal.edgeShadow);
    p.drawLine(0, 0, w - 1, 0);
    p.drawLine(0, B - 1, w - 1, B - 1);
    return img;
  };
  QImage bl = status(16);
  Border(bl, pal, true, false, true);
  b.Image(kMain, "Image_Bottom_Left", "Main/BottomLeft", bl, {0, 0}, true, false, false, true);
  b.Image(kMain, "Image_Bottom_Center", "Main/BottomCenter", status(4), {0, 0}, true, false);
  const int brW = B + 2;
  QImage br = status(brW);
  Border(br, pal, false, true, true);
  b.Image(kMain, "Image_Bottom_Right", "Main/BottomRight", br, {0, 0}, true, false, false, true);
  const int grip = B - 8;
  b.Button(kMain, "skImageButton_Resizer", "Main/Resizer", br,
           QRect(brW - grip - 3, B - grip - 3, grip, grip), Icon::Grip, ButtonStyle::Glyph,
           "Resize", true, true, false, 0.9);
  QRect hidden(2, 2, B - 4, B - 4);
  b.Button(kMain, "skImageButton_Email", "Main/Email", br, hidden, Icon::Mail, ButtonStyle::Glyph,
           "Mail", false);
  b.Button(kMain, "skImageButton_Home", "Main/Home", br, hidden, Icon::Home, ButtonStyle::Glyph,
           "Home Page", false);
  b.Button(kMain, "skImageButton_About", "Main/About", br, hidden, Icon::About, ButtonStyle::Glyph,
           "About", false);

  // Video area: idle picture and the popup menu's side picture.
  b.Image(kMain, "Image_MainForm_Center", "Main/Idle", IdlePicture(pal), {0, 0}, true, false);
  b.Image(kMain, "Image_PopMenu", "Main/PopMenu", PopupSide(pal), {0, 0}, false, false);

  // Docked control strip: rounded ends, stretched centre.
  auto stripEnd = [&](bool left) {
    QImage img = ControlStrip(pal, 12, C);
    Border(img, pal, left, !left, true);
    return img;
  };
  b.Image(kMain, "Image_Control_Left", "Main/ControlLeft", stripEnd(true), {0, 0}, true, false);
  b.Image(
      kMain, "Image_Control_Center", "Main/ControlCenter",
      [&] {
        QImage img = ControlStrip(pal, 4, C);
        Border(img, pal, false, false, true);
        return img;
      }(),
      {0, 0}, true, false);
  b.Image(kMain, "Image_Control_Right", "Main/ControlRight", stripEnd(false), {0, 0}, true, false);

  // Corner cut-outs: top corners, picture-frame bottom corners, docked-window bottom corners.
  const int r = s.cornerRadius;
  b.Corners("", r);
  b.Save(CornerMask(r, Qt::BottomLeftCorner), "CCL.bmp");
  b.Save(CornerMask(r, Qt::BottomRightCorner), "CCR.bmp");

  // The composite for the preview: the window at its default size with the bar docked.
  const int W = s.mainWidth, H = s.mainHeight;
  QImage shot = NewImage(W, H, Qt::black);
  QPainter p(&shot);
  p.drawImage(0, 0, TitleStrip(pal, W, T));
  p.drawImage(E, 0, topLeft);
  p.drawImage(W - E - rightW, 0, topRight);
  p.drawImage((W - 180) / 2, 0, title);
  p.end();
  b.Compose(shot, kMain, {E, 0},
            {"skImageButton_PlayList", "skImageButton_Bookmark", "skImageButton_Snapshoot",
             "skImageButton_TV"});
  b.Compose(
      shot, kMain, {W - E - rightW, 0},
      {"skImageButton_About1", "skImageButton_Min", "skImageButton_Max", "skImageButton_Exit"});
  p.begin(&shot);
  const int videoBottom = H - C - B;
  p.drawImage(QRect(0, T, E, videoBottom - T), edge(true, 4, false));
  p.drawImage(QRect(W - E, T, E, videoBottom - T), edge(false, 4, false));
  p.drawImage(0, 0, edge(true, T, true));
  p.drawImage(W - E, 0, edge(false, T, true));
  QImage idle = IdlePicture(pal);
  p.drawImage((W - idle.width()) / 2, T + (videoBottom - T - idle.height()) / 2, idle);
  p.drawImage(QRect(0, videoBottom, W, B), status(4));
  p.drawImage(0, videoBottom, bl);
  p.drawImage(W - brW, videoBottom, br);
  p.end();
  b.Compose(shot, kMain, {W - brW, videoBottom}, {"skImageButton_Resizer"});
  p.begin(&shot);
  p.drawImage(QRect(0, H - C, W, C), ControlStrip(pal, 4, C));
  p.end();
  QImage dressed = bar;
  b.Compose(dressed, "FT_LumoraDVD_ControlFrame");
  p.begin(&shot);
  p.drawImage((W - bar.width()) / 2, H - C, dressed);
  p.end();
  // Round the corners the way the masks do.
  QImage rounded = RoundedMask(W, H, r);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x)
      if (rounded.pixel(x, y) == kKey) shot.setPixel(x, y, pal.video.rgb());
  return shot;
}

void BuildFullScreen(SkinBuilder& b, const Style& s) {
  const Palette& pal = b.pal();
  const int C = s.barHeight;
  auto end = [&](bool left) {
    QImage img = ControlStrip(pal, 12, C);
    QPainter p(&img);
    p.setPen(pal.edgeShadow);
    p.drawLine(left ? 0 : 11, 0, left ? 0 : 11, C - 1);
    return img;
  };
  b.Image(kFull, "Image_Control_Left", "Full/ControlLeft", end(true), {0, 0}, true, false);
  b.Image(kFull, "Image_Control_Center", "Full/ControlCenter", ControlStrip(pal, 4, C), {0, 0},
          true, false);
  b.Image(kFull, "Image_Control_Right", "Full/ControlRight", end(false), {0, 0}, true, false);
  b.Image(kFull, "Image_MainForm_Center", "Full/Idle", IdlePicture(pal), {0, 0}, true, false);
}

void BuildSidePanel(SkinBuilder& b, const Style& s) {
  const Palette& pal = b.pal();
  const int W = s.sideWidth, T = s.sideTop, E = s.sideEdge, Bh = s.sideBottom;
  b.Set(kSide, "DefaultWidth", QString::number(W));
  b.Set(kSide, "DefaultHeight", QString::number(s.mainHeight));
  b.Set(kSide, "MaskBmp", "No");

  QImage top = TitleStrip(pal, W, T);
  {
    QPainter p(&top);
    p.setPen(pal.edgeShadow);
    p.drawLine(0, 0, 0, T - 1);
    p.drawLine(W - 1, 0, W - 1, T - 1);
    p.setPen(pal.edgeShadow);
    p.drawLine(E, T - 1, W - E - 1, T - 1);
  }
  b.Image(kSide, "Image_Top", "Side/Top", top, {0, 0}, true, false, false, true);
  struct Title {
    const char* key;
    const char* text;
  };
  const Title titles[4] = {{"Image_Title_List", "PLAY LIST"},
                           {"Image_Title_Bookmark", "BOOKMARKS"},
                           {"Image_Title_Snapshot", "SNAPSHOTS"},
                           {"Image_Title_TV", "TV CHANNELS"}};
  const QRect titleRect(14, 8, 160, 20);
  for (const Title& t : titles) {
    QImage img = Crop(top, titleRect);
    QPainter p(&img);
    Text(p, QRectF(0, 0, titleRect.width(), titleRect.height()), t.text, 11, pal.text,
         Qt::AlignLeft | Qt::AlignVCenter, true, 1.5);
    b.Image(kSide, t.key, QString("Side/") + QString(t.key).mid(6), img, titleRect.topLeft(),
            QString(t.key) == "Image_Title_List", false);
  }
  const int cb = 20;
  b.Button(kSide, "skImageButton_Close", "Side/Close", top, QRect(W - cb - 8, 7, cb, cb),
           Icon::Close, ButtonStyle::Glyph, "Close", true, true, false, 0.6);

  // Page buttons sit in one row under the title.
  const int bs = 28, y = T - bs - 8;
  auto slot = [&](int i) { return QRect(12 + i * (bs + 6), y, bs, bs); };
  const std::vector<ButtonSpec> buttons = {
      {"skImageButton_Play", slot(0), Icon::Play, ButtonStyle::Glyph, "Play", true},
      {"skImageButton_AddFile", slot(1), Icon::Add, ButtonStyle::Glyph, "Add", true},
      {"skImageButton_DeleteFile", slot(2), Icon::Delete, ButtonStyle::Glyph, "Delete", true},
      {"skImageButton_Random", slot(3), Icon::Shuffle, ButtonStyle::Glyph, "Random Order", true},
      {"skImageButton_DeRandom", slot(3), Icon::Shuffle, ButtonStyle::Active, "Random Order",
       false},
      {"skImageButton_Repeat", slot(4), Icon::Repeat, ButtonStyle::Glyph, "Repeat", true},
      {"skImageButton_DeRepeat", slot(4), Icon::Repeat, ButtonStyle::Active, "Repeat", false},
      {"skImageButton_PlayBookmark", slot(0), Icon::Play, ButtonStyle::Glyph, "Play Bookmark",
       false},
      {"skImageButton_AddBookmark", slot(1), Icon::Bookmark, ButtonStyle::Glyph, "Add Bookmark",
       false},
      {"skImageButton_DeleteBookmark", slot(2), Icon::Delete, ButtonStyle::Glyph, "Delete", false},
      {"skImageButton_Snapshoot_One", slot(0), Icon::Snapshot, ButtonStyle::Glyph, "Snapshot",
       false},
      {"skImageButton_Snapshoot_Continuous", slot(1), Icon::SnapshotBurst, ButtonStyle::Glyph,
       "Continuous Snapshots", false},
      {"skImageButton_StopSnapshoot", slot(1), Icon::SnapshotStop, ButtonStyle::Active,
       "Stop Snapshots", false},
      {"skImageButton_SaveSnapshoot", slot(2), Icon::Save, ButtonStyle::Glyph, "Save", false},
      {"skImageButton_DeleteSnapshoot", slot(3), Icon::Delete, ButtonStyle::Glyph, "Delete", false},
      {"skImageButton_TV", slot(0), Icon::Tv, ButtonStyle::Glyph, "Watch TV", false},
      {"skImageButton_TVFavorit", slot(1), Icon::Star, ButtonStyle::Glyph, "Favourites", false},
      {"skImageButton_TVNormal", slot(1), Icon::List, ButtonStyle::Active, "All Channels", false},
  };
  PlaceButtons(b, kSide, "Side", top, buttons, {}, 0.6);

  QImage bottom = NewImage(W, Bh);
  VerticalGradient(bottom, bottom.rect(), pal.edge, pal.frameBottom);
  {
    QPainter p(&bottom);
    p.setPen(pal.edgeShadow);
    p.drawLine(0, 0, W - 1, 0);
    p.drawLine(0, 0, 0, Bh - 1);
    p.drawLine(W - 1, 0, W - 1, Bh - 1);
    p.drawLine(0, Bh - 1, W - 1, Bh - 1);
  }
  b.Image(kSide, "Image_Bottom", "Side/Bottom", bottom, {0, 0}, true, false, false, true);
  const int g = Bh - 6;
  b.Button(kSide, "skImageButton_Resize", "Side/Resize", bottom,
           QRect(W - g - 6, (Bh - g) / 2, g, g), Icon::Grip, ButtonStyle::Glyph, "Resize", true,
           true, false, 0.9);
  auto side = [&](bool left) {
    QImage img = NewImage(E, 4, pal.edge);
    QPainter p(&img);
    p.setPen(pal.edgeShadow);
    p.drawLine(left ? 0 : E - 1, 0, left ? 0 : E - 1, 3);
    p.drawLine(left ? E - 1 : 0, 0, left ? E - 1 : 0, 3);
    return img;
  };
  b.Image(kSide, "Image_Left", "Side/Left", side(true), {0, 0}, true, false, false, true);
  b.Image(kSide, "Image_Right", "Side/Right", side(false), {0, 0}, true, false, false, true);

  b.List(kSide, "MyPlayList", "Side/List", 50);
  b.List(kSide, "MyBookmark", "Side/Bookmark", 56);
  b.List(kSide, "MySnapshot", "Side/Snapshot", 64);
  b.List(kSide, "MyTVList", "Side/TVList", 50);
  b.Corners("SUB", s.cornerRadius);
}

void BuildSkinOptions(SkinBuilder& b, const Style& s) {
  b.Set("SkinOpt", "i_MainWindowMinWidth", QString::number(s.minWidth));
  b.Set("SkinOpt", "i_MainWindowMinHeight", QString::number(s.minHeight));
  b.Set("SkinOpt", "b_NeedCutCorner", s.needCutCorner ? "1" : "0");
  b.Set("SkinOpt", "b_CanSetMaxWindow", s.canSetMaxWindow ? "1" : "0");
  b.Set("SkinOpt", "i_ControlPanelHeight", QString::number(s.barHeight));
}

void BuildPreview(SkinBuilder& b, const Style& s, const QImage& shot) {
  (void)s;
  // The full-size composite is handy when working on a skin's look.
  if (const char* dir = std::getenv("SKINGEN_COMPOSITE_DIR"))
    shot.save(QString::fromLocal8Bit(dir) + "/" + QFileInfo(b.folder().chopped(1)).fileName() +
              ".png");
  QImage preview = shot.scaled(240, 160, Qt::KeepAspectRatio, Qt::SmoothTransformation);
  b.Save(preview, "Preview.bmp");
}

}  // namespace skingen
