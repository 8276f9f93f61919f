// Default: a dark, crisp skin with blue accents, a 720 x 480 main window, a compact control
// panel and a single-row control bar.
#include <algorithm>

#include "Skins.h"

namespace skingen {

namespace {

const QString kBar = "FT_LumoraDVD_ControlFrame";
const QString kPanel = "FT_LumoraDVD_OperationForm";

Palette DarkPalette() {
  Palette p;
  p.frameTop = QColor(0x2c, 0x31, 0x3a);
  p.frameBottom = QColor(0x1f, 0x23, 0x2a);
  p.edge = QColor(0x1c, 0x1f, 0x25);
  p.edgeHighlight = QColor(0x3b, 0x41, 0x4d);
  p.edgeShadow = QColor(0x0a, 0x0b, 0x0e);
  p.panelTop = QColor(0x27, 0x2b, 0x33);
  p.panelBottom = QColor(0x18, 0x1a, 0x1f);
  p.lcd = QColor(0x0b, 0x0d, 0x11);
  p.lcdBorder = QColor(0x33, 0x39, 0x44);
  p.lcdOn = QColor(0x74, 0xc4, 0xff);
  p.lcdOff = QColor(0x16, 0x20, 0x2b);
  p.lcdLabel = QColor(0x5f, 0x6d, 0x7d);
  p.accent = QColor(0x2f, 0x8c, 0xff);
  p.accentDark = QColor(0x1c, 0x5c, 0xb5);
  p.accentLight = QColor(0x6c, 0xb4, 0xff);
  p.glyph = QColor(0xcf, 0xd6, 0xdf);
  p.glyphHover = QColor(0xff, 0xff, 0xff);
  p.glyphPressed = QColor(0xff, 0xff, 0xff);
  p.glyphDisabled = QColor(0x4b, 0x51, 0x5b);
  p.plateHover = QColor(255, 255, 255, 30);
  p.platePressed = QColor(0x1c, 0x5c, 0xb5);
  p.groove = QColor(0x0e, 0x10, 0x14);
  p.grooveShadow = QColor(0x05, 0x06, 0x08);
  p.text = QColor(0xe6, 0xeb, 0xf2);
  p.textDim = QColor(0x8a, 0x94, 0xa3);
  p.video = QColor(0, 0, 0);
  // The lists draw their entries in black, so their pane is light even in a dark skin.
  p.listBack = QColor(0xd3, 0xd8, 0xdf);
  p.listBackAlt = QColor(0xc8, 0xce, 0xd6);
  p.wordAccent = p.accentLight;
  p.closeHover = QColor(0xd9, 0x3f, 0x3f);
  return p;
}

}  // namespace

void Lcd(QPainter& p, const QRectF& r, const Palette& pal) {
  Bevel(p, r, 5, pal.lcd, pal.lcd, pal.lcdBorder, QColor(0, 0, 0, 0));
}

void Colon(QPainter& p, qreal x, qreal top, qreal height, const Palette& pal) {
  p.save();
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(pal.lcdOn);
  qreal d = std::max<qreal>(2.0, height / 9.0);
  p.drawEllipse(QRectF(x - d / 2, top + height * 0.3 - d / 2, d, d));
  p.drawEllipse(QRectF(x - d / 2, top + height * 0.7 - d / 2, d, d));
  p.restore();
}

// Six time digits HH:MM:SS from x; returns the x after the last digit.
int TimeDigits(SkinBuilder& b, QPainter& bg, const QString& section, const QString& prefix, int x,
               int y, int dw, int dh, int gap, int colonGap) {
  const char* keys[6] = {"DI_TimeHour10", "DI_TimeHour1", "DI_TimeMin10",
                         "DI_TimeMin1",   "DI_TimeSec10", "DI_TimeSec1"};
  for (int i = 0; i < 6; ++i) {
    b.Digits(section, keys[i], prefix, {x, y});
    x += dw + gap;
    if (i == 1 || i == 3) {
      Colon(bg, x - gap + colonGap / 2.0, y, dh, b.pal());
      x += colonGap;
    }
  }
  return x;
}

void PlaceButtons(SkinBuilder& b, const QString& section, const QString& folder, const QImage& bg,
                  const std::vector<ButtonSpec>& buttons, std::initializer_list<ButtonStyle> shaped,
                  qreal plainScale) {
  for (const ButtonSpec& bt : buttons) {
    const bool isShaped = std::find(shaped.begin(), shaped.end(), bt.style) != shaped.end();
    b.Button(section, bt.key, folder + "/" + QString(bt.key).mid(14), bg, bt.at, bt.icon, bt.style,
             bt.hint, bt.visible, true, isShaped, isShaped ? 0.5 : plainScale);
  }
}

void SetDefaultSize(SkinBuilder& b, const QString& section, int w, int h) {
  b.Set(section, "DefaultWidth", QString::number(w));
  b.Set(section, "DefaultHeight", QString::number(h));
}

QImage PanelBackground(SkinBuilder& b, const QString& section, int w, int h, int radius,
                       const QRectF& wordmark, int wordSize) {
  const Palette& pal = b.pal();
  SetDefaultSize(b, section, w, h);
  b.Save(RoundedMask(w, h, radius), "Panel/Mask.bmp");
  b.Set(section, "MaskBmp", "Panel\\Mask.bmp");
  QImage bg = NewImage(w, h, pal.edgeShadow);
  QPainter p(&bg);
  p.setRenderHint(QPainter::Antialiasing);
  Bevel(p, QRectF(0, 0, w, h), radius, pal.frameTop, pal.panelBottom, pal.edgeShadow,
        pal.edgeHighlight);
  Wordmark(p, wordmark, wordSize, pal, Qt::AlignLeft | Qt::AlignVCenter);
  p.end();
  return bg;
}

bool FinishSkin(SkinBuilder& b, const Style& s, const QImage& bar) {
  QImage shot = BuildMainWindow(b, s, bar);
  BuildFullScreen(b, s);
  BuildSidePanel(b, s);
  BuildSkinOptions(b, s);
  BuildPreview(b, s, shot);
  b.Cursors();
  return b.WriteIni();
}

namespace {

QImage ControlBar(SkinBuilder& b, const Style& s) {
  const Palette& pal = b.pal();
  const int W = 640, H = s.barHeight;
  SetDefaultSize(b, kBar, W, H);
  QImage bg = ControlStrip(pal, W, H);
  QPainter p(&bg);
  p.setRenderHint(QPainter::Antialiasing);
  // Time display box.
  const int dw = 12, dh = 20, boxX = 258, boxY = 29;
  Lcd(p, QRectF(boxX, boxY, 106, 28), pal);
  b.DigitSet("Digits/Small", dw, dh, 2.6);
  TimeDigits(b, p, kBar, "Digits/Small", boxX + 7, boxY + 4, dw, dh, 2, 8);
  // Separators between the button groups.
  p.setPen(pal.edgeShadow);
  for (int x : {113, 250, 372, 472}) p.drawLine(QPointF(x + 0.5, 30), QPointF(x + 0.5, 55));
  p.setPen(pal.edgeHighlight);
  for (int x : {114, 251, 373, 473}) p.drawLine(QPointF(x + 0.5, 30), QPointF(x + 0.5, 55));
  p.end();

  const int y = 28, bs = 30;
  auto at = [&](int x) { return QRect(x, y, bs, bs); };
  PlaceButtons(
      b, kBar, "Bar", bg,
      {
          {"skImageButton_Play", at(10), Icon::Play, ButtonStyle::Primary, "Play"},
          {"skImageButton_Pause", at(44), Icon::Pause, ButtonStyle::Glyph, "Pause / Step"},
          {"skImageButton_Stop", at(76), Icon::Stop, ButtonStyle::Glyph, "Stop"},
          {"skImageButton_FastReverse", at(120), Icon::Rewind, ButtonStyle::Glyph, "Fast Reverse"},
          {"skImageButton_PreviousChapter", at(151), Icon::Prev, ButtonStyle::Glyph, "Previous"},
          {"skImageButton_NextChapter", at(182), Icon::Next, ButtonStyle::Glyph, "Next"},
          {"skImageButton_FastForward", at(213), Icon::FastForward, ButtonStyle::Glyph,
           "Fast Forward"},
          {"skImageButton_Eject", at(378), Icon::Eject, ButtonStyle::Glyph, "Eject"},
          {"skImageButton_PlaybackRate", at(408), Icon::Rate, ButtonStyle::Glyph, "Playback Rate"},
          {"skImageButton_Ex", at(438), Icon::More, ButtonStyle::Glyph, "More"},
          {"skImageButton_Mute", at(478), Icon::Volume, ButtonStyle::Glyph, "Mute"},
          {"skImageButton_DeMute", at(478), Icon::Mute, ButtonStyle::Active, "Sound On", false},
          {"skImageButton_VolumeDown", QRect(510, 32, 22, 22), Icon::VolumeDown, ButtonStyle::Glyph,
           "Volume Down"},
          {"skImageButton_VolumeUp", QRect(610, 32, 22, 22), Icon::VolumeUp, ButtonStyle::Glyph,
           "Volume Up"},
      });
  b.Bar(kBar, "VolumeBar", "Bar/Volume", Crop(bg, QRect(534, 36, 74, 14)), {534, 36}, 7, 4, true);
  b.Bar(kBar, "ProgressBar", "Bar/Progress", Crop(bg, QRect(12, 8, W - 24, 14)), {12, 8}, 7, 4,
        false);
  b.Image(kBar, "Image_Background", "Bar/Background", bg, {0, 0}, true, false);
  return bg;
}

void ControlPanel(SkinBuilder& b) {
  const Palette& pal = b.pal();
  QImage bg = PanelBackground(b, kPanel, 460, 168, 12, QRectF(16, 5, 200, 22), 13);
  QPainter p(&bg);
  p.setRenderHint(QPainter::Antialiasing);
  // Display: big time at the left, title and chapter at the right.
  Lcd(p, QRectF(14, 32, 248, 60), pal);
  b.DigitSet("Digits/Big", 16, 28, 3.4);
  b.DigitSet("Digits/Tiny", 11, 18, 2.4);
  TimeDigits(b, p, kPanel, "Digits/Big", 24, 48, 16, 28, 3, 10);
  Text(p, QRectF(24, 35, 100, 12), "TIME", 8, pal.lcdLabel, Qt::AlignLeft | Qt::AlignVCenter, true,
       1);
  Text(p, QRectF(178, 35, 40, 12), "TITLE", 8, pal.lcdLabel, Qt::AlignLeft | Qt::AlignVCenter, true,
       1);
  Text(p, QRectF(218, 35, 40, 12), "CHAP", 8, pal.lcdLabel, Qt::AlignLeft | Qt::AlignVCenter, true,
       1);
  p.setPen(pal.lcdBorder);
  p.drawLine(QPointF(170.5, 40), QPointF(170.5, 84));
  p.end();
  b.Digits(kPanel, "DI_Title10", "Digits/Tiny", {178, 54});
  b.Digits(kPanel, "DI_Title1", "Digits/Tiny", {191, 54});
  b.Digits(kPanel, "DI_Chapter10", "Digits/Tiny", {218, 54});
  b.Digits(kPanel, "DI_Chapter1", "Digits/Tiny", {231, 54});

  const int bs = 30;
  const std::vector<ButtonSpec> buttons = {
      {"skImageButton_AudioSetup", QRect(378, 6, 22, 22), Icon::Settings, ButtonStyle::Glyph,
       "Settings", true},
      {"skImageButton_Min", QRect(404, 6, 22, 22), Icon::Minimise, ButtonStyle::Glyph, "Minimize",
       true},
      {"skImageButton_Exit", QRect(430, 6, 22, 22), Icon::Close, ButtonStyle::Glyph, "Close", true},
      {"skImageButton_Open", QRect(348, 32, bs, bs), Icon::Open, ButtonStyle::Glyph, "Open", true},
      {"skImageButton_Eject", QRect(380, 32, bs, bs), Icon::Eject, ButtonStyle::Glyph, "Eject",
       true},
      {"skImageButton_VideoSetup", QRect(412, 32, bs, bs), Icon::FullScreen, ButtonStyle::Glyph,
       "Full Screen", true},
      {"skImageButton_Menu", QRect(348, 64, bs, bs), Icon::Menu, ButtonStyle::Glyph, "DVD Menu",
       true},
      {"skImageButton_Language", QRect(380, 64, bs, bs), Icon::Language, ButtonStyle::Glyph,
       "Audio Language", true},
      {"skImageButton_SubPicture", QRect(412, 64, bs, bs), Icon::Subtitle, ButtonStyle::Glyph,
       "Subtitles", true},
      {"skImageButton_FastReverse", QRect(14, 124, bs, bs), Icon::Rewind, ButtonStyle::Glyph,
       "Fast Reverse", true},
      {"skImageButton_PreviousChapter", QRect(46, 124, bs, bs), Icon::Prev, ButtonStyle::Glyph,
       "Previous", true},
      {"skImageButton_Pause", QRect(78, 124, bs, bs), Icon::Pause, ButtonStyle::Glyph,
       "Pause / Step", true},
      {"skImageButton_Stop", QRect(110, 124, bs, bs), Icon::Stop, ButtonStyle::Glyph, "Stop", true},
      {"skImageButton_NextChapter", QRect(142, 124, bs, bs), Icon::Next, ButtonStyle::Glyph, "Next",
       true},
      {"skImageButton_FastForward", QRect(174, 124, bs, bs), Icon::FastForward, ButtonStyle::Glyph,
       "Fast Forward", true},
      {"skImageButton_PlaybackRate", QRect(214, 124, bs, bs), Icon::Rate, ButtonStyle::Glyph,
       "Playback Rate", true},
      {"skImageButton_Mute", QRect(262, 124, bs, bs), Icon::Volume, ButtonStyle::Glyph, "Mute",
       true},
      {"skImageButton_DeMute", QRect(262, 124, bs, bs), Icon::Mute, ButtonStyle::Active, "Sound On",
       false},
      {"skImageButton_VolumeDown", QRect(294, 128, 22, 22), Icon::VolumeDown, ButtonStyle::Glyph,
       "Volume Down", true},
      {"skImageButton_VolumeUp", QRect(420, 128, 22, 22), Icon::VolumeUp, ButtonStyle::Glyph,
       "Volume Up", true},
      {"skImageButton_Play", QRect(272, 30, 64, 64), Icon::Play, ButtonStyle::Primary, "Play",
       false},
  };
  PlaceButtons(b, kPanel, "Panel", bg, buttons);
  b.Dynamic(kPanel, "Dynamic_Play", "Panel/PlayAnim", Crop(bg, QRect(272, 30, 64, 64)), {272, 30},
            10, 45, 1800);
  b.Bar(kPanel, "ProgressBar", "Panel/Progress", Crop(bg, QRect(14, 102, 432, 14)), {14, 102}, 7, 4,
        false);
  b.Bar(kPanel, "VolumeBar", "Panel/Volume", Crop(bg, QRect(318, 132, 100, 14)), {318, 132}, 7, 4,
        true);
  // The background is disabled so presses on it reach the window, which drags it.
  b.Image(kPanel, "Image_Background", "Panel/Background", bg, {0, 0}, true, false);
}

}  // namespace

namespace {

Palette GraphitePalette() {
  Palette p = DarkPalette();
  p.frameTop = QColor(0x33, 0x31, 0x2e);
  p.frameBottom = QColor(0x24, 0x22, 0x20);
  p.edge = QColor(0x1f, 0x1d, 0x1b);
  p.edgeHighlight = QColor(0x45, 0x42, 0x3d);
  p.panelTop = QColor(0x2d, 0x2b, 0x28);
  p.panelBottom = QColor(0x1b, 0x1a, 0x18);
  p.lcd = QColor(0x12, 0x0f, 0x0a);
  p.lcdBorder = QColor(0x4a, 0x40, 0x33);
  p.lcdOn = QColor(0xff, 0xb3, 0x47);
  p.lcdOff = QColor(0x2a, 0x20, 0x14);
  p.lcdLabel = QColor(0x8a, 0x76, 0x5c);
  p.accent = QColor(0xf0, 0x8a, 0x12);
  p.accentDark = QColor(0xb3, 0x5f, 0x05);
  p.accentLight = QColor(0xff, 0xb3, 0x47);
  p.glyph = QColor(0xe2, 0xdc, 0xd3);
  p.platePressed = QColor(0xb3, 0x5f, 0x05);
  p.groove = QColor(0x12, 0x11, 0x10);
  p.listBack = QColor(0xd9, 0xd3, 0xc9);
  p.listBackAlt = QColor(0xcf, 0xc8, 0xbd);
  p.wordAccent = p.accentLight;
  return p;
}

}  // namespace

// Graphite: the Default layout in warm charcoal and amber, with smaller corners, and a main
// window that maximises instead of going full screen.
bool BuildGraphiteSkin(const QString& root) {
  SkinBuilder b(root, "Graphite", GraphitePalette());
  Style s;
  s.minWidth = 660;
  s.cornerRadius = 5;
  s.canSetMaxWindow = true;
  s.needCutCorner = true;
  s.sideWidth = 250;
  QImage bar = ControlBar(b, s);
  ControlPanel(b);
  return FinishSkin(b, s, bar);
}

bool BuildDefaultSkin(const QString& root) {
  SkinBuilder b(root, "Default", DarkPalette());
  Style s;
  s.minWidth = 660;
  QImage bar = ControlBar(b, s);
  ControlPanel(b);
  return FinishSkin(b, s, bar);
}

}  // namespace skingen
