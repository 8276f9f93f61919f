// Aqua: a light skin with teal accents, round shaped buttons, a two-row control bar, an upright
// control panel, and a main window that maximises instead of going full screen.
#include "Skins.h"

namespace skingen {

namespace {

const QString kBar = "FT_LumoraDVD_ControlFrame";
const QString kPanel = "FT_LumoraDVD_OperationForm";

Palette LightPalette() {
  Palette p;
  p.frameTop = QColor(0xf6, 0xfa, 0xfb);
  p.frameBottom = QColor(0xdc, 0xe8, 0xea);
  p.edge = QColor(0xd2, 0xdf, 0xe2);
  p.edgeHighlight = QColor(0xff, 0xff, 0xff);
  p.edgeShadow = QColor(0x93, 0xab, 0xb0);
  p.panelTop = QColor(0xf0, 0xf6, 0xf7);
  p.panelBottom = QColor(0xd3, 0xe2, 0xe5);
  p.lcd = QColor(0xe2, 0xf2, 0xee);
  p.lcdBorder = QColor(0x9c, 0xc4, 0xbd);
  p.lcdOn = QColor(0x0b, 0x6b, 0x63);
  p.lcdOff = QColor(0xcd, 0xe3, 0xde);
  p.lcdLabel = QColor(0x4f, 0x86, 0x80);
  p.accent = QColor(0x13, 0xa3, 0x95);
  p.accentDark = QColor(0x0b, 0x76, 0x6c);
  p.accentLight = QColor(0x45, 0xcf, 0xbf);
  p.glyph = QColor(0x2f, 0x4c, 0x53);
  p.glyphHover = QColor(0x0b, 0x76, 0x6c);
  p.glyphPressed = QColor(0xff, 0xff, 0xff);
  p.glyphDisabled = QColor(0xa9, 0xbc, 0xc0);
  p.plateHover = QColor(0x13, 0xa3, 0x95, 45);
  p.platePressed = QColor(0x13, 0xa3, 0x95);
  p.groove = QColor(0xbd, 0xcf, 0xd3);
  p.grooveShadow = QColor(0xa2, 0xb8, 0xbd);
  p.text = QColor(0x1d, 0x3a, 0x40);
  p.textDim = QColor(0x5d, 0x7a, 0x80);
  p.video = QColor(0x0a, 0x12, 0x14);
  p.listBack = QColor(0xf8, 0xfc, 0xfc);
  p.listBackAlt = QColor(0xec, 0xf4, 0xf5);
  p.wordAccent = p.accent;
  p.closeHover = QColor(0xe0, 0x52, 0x4f);
  return p;
}

QImage ControlBar(SkinBuilder& b, const Style& s) {
  const Palette& pal = b.pal();
  const int W = 580, H = s.barHeight;
  SetDefaultSize(b, kBar, W, H);
  QImage bg = ControlStrip(pal, W, H);
  QPainter p(&bg);
  p.setRenderHint(QPainter::Antialiasing);
  Lcd(p, QRectF(10, 10, 104, 28), pal);
  b.DigitSet("Digits/Bar", 11, 18, 2.4);
  TimeDigits(b, p, kBar, "Digits/Bar", 18, 15, 11, 18, 2, 8);
  p.end();

  const std::vector<ButtonSpec> buttons = {
      {"skImageButton_FastReverse", QRect(128, 9, 30, 30), Icon::Rewind, ButtonStyle::Round,
       "Fast Reverse", true},
      {"skImageButton_PreviousChapter", QRect(160, 9, 30, 30), Icon::Prev, ButtonStyle::Round,
       "Previous", true},
      {"skImageButton_Play", QRect(194, 6, 36, 36), Icon::Play, ButtonStyle::Primary, "Play", true},
      {"skImageButton_Pause", QRect(234, 9, 30, 30), Icon::Pause, ButtonStyle::Round,
       "Pause / Step", true},
      {"skImageButton_Stop", QRect(266, 9, 30, 30), Icon::Stop, ButtonStyle::Round, "Stop", true},
      {"skImageButton_NextChapter", QRect(298, 9, 30, 30), Icon::Next, ButtonStyle::Round, "Next",
       true},
      {"skImageButton_FastForward", QRect(330, 9, 30, 30), Icon::FastForward, ButtonStyle::Round,
       "Fast Forward", true},
      {"skImageButton_Eject", QRect(372, 11, 26, 26), Icon::Eject, ButtonStyle::Glyph, "Eject",
       true},
      {"skImageButton_PlaybackRate", QRect(400, 11, 26, 26), Icon::Rate, ButtonStyle::Glyph,
       "Playback Rate", true},
      {"skImageButton_Ex", QRect(428, 11, 26, 26), Icon::More, ButtonStyle::Glyph, "More", true},
      {"skImageButton_Mute", QRect(460, 11, 26, 26), Icon::Volume, ButtonStyle::Glyph, "Mute",
       true},
      {"skImageButton_DeMute", QRect(460, 11, 26, 26), Icon::Mute, ButtonStyle::Active, "Sound On",
       false},
      {"skImageButton_VolumeDown", QRect(486, 14, 20, 20), Icon::VolumeDown, ButtonStyle::Glyph,
       "Volume Down", true},
      {"skImageButton_VolumeUp", QRect(556, 14, 20, 20), Icon::VolumeUp, ButtonStyle::Glyph,
       "Volume Up", true},
  };
  PlaceButtons(b, kBar, "Bar", bg, buttons, {ButtonStyle::Round, ButtonStyle::Primary});
  b.Bar(kBar, "VolumeBar", "Bar/Volume", Crop(bg, QRect(506, 17, 50, 14)), {506, 17}, 7, 4, true);
  b.Bar(kBar, "ProgressBar", "Bar/Progress", Crop(bg, QRect(10, 50, W - 20, 14)), {10, 50}, 7, 4,
        true);
  b.Image(kBar, "Image_Background", "Bar/Background", bg, {0, 0}, true, false);
  return bg;
}

void ControlPanel(SkinBuilder& b) {
  const Palette& pal = b.pal();
  QImage bg = PanelBackground(b, kPanel, 320, 206, 16, QRectF(16, 4, 180, 22), 12);
  QPainter p(&bg);
  p.setRenderHint(QPainter::Antialiasing);
  Lcd(p, QRectF(14, 30, 292, 46), pal);
  b.DigitSet("Digits/Panel", 14, 24, 3.0);
  b.DigitSet("Digits/PanelSmall", 10, 16, 2.2);
  TimeDigits(b, p, kPanel, "Digits/Panel", 26, 41, 14, 24, 3, 9);
  Text(p, QRectF(186, 32, 50, 12), "TITLE", 8, pal.lcdLabel, Qt::AlignLeft | Qt::AlignVCenter, true,
       1);
  Text(p, QRectF(244, 32, 50, 12), "CHAPTER", 8, pal.lcdLabel, Qt::AlignLeft | Qt::AlignVCenter,
       true, 1);
  p.end();
  b.Digits(kPanel, "DI_Title10", "Digits/PanelSmall", {188, 48});
  b.Digits(kPanel, "DI_Title1", "Digits/PanelSmall", {200, 48});
  b.Digits(kPanel, "DI_Chapter10", "Digits/PanelSmall", {246, 48});
  b.Digits(kPanel, "DI_Chapter1", "Digits/PanelSmall", {258, 48});

  const std::vector<ButtonSpec> buttons = {
      {"skImageButton_AudioSetup", QRect(222, 5, 20, 20), Icon::Settings, ButtonStyle::Glyph,
       "Settings", true},
      {"skImageButton_VideoSetup", QRect(246, 5, 20, 20), Icon::FullScreen, ButtonStyle::Glyph,
       "Full Screen", true},
      {"skImageButton_Min", QRect(270, 5, 20, 20), Icon::Minimise, ButtonStyle::Glyph, "Minimize",
       true},
      {"skImageButton_Exit", QRect(294, 5, 20, 20), Icon::Close, ButtonStyle::Glyph, "Close", true},
      {"skImageButton_FastReverse", QRect(16, 94, 32, 32), Icon::Rewind, ButtonStyle::Round,
       "Fast Reverse", true},
      {"skImageButton_PreviousChapter", QRect(52, 94, 32, 32), Icon::Prev, ButtonStyle::Round,
       "Previous", true},
      {"skImageButton_Pause", QRect(88, 94, 32, 32), Icon::Pause, ButtonStyle::Round,
       "Pause / Step", true},
      {"skImageButton_Stop", QRect(200, 94, 32, 32), Icon::Stop, ButtonStyle::Round, "Stop", true},
      {"skImageButton_NextChapter", QRect(236, 94, 32, 32), Icon::Next, ButtonStyle::Round, "Next",
       true},
      {"skImageButton_FastForward", QRect(272, 94, 32, 32), Icon::FastForward, ButtonStyle::Round,
       "Fast Forward", true},
      {"skImageButton_Open", QRect(14, 170, 24, 24), Icon::Open, ButtonStyle::Glyph, "Open", true},
      {"skImageButton_Eject", QRect(40, 170, 24, 24), Icon::Eject, ButtonStyle::Glyph, "Eject",
       true},
      {"skImageButton_Menu", QRect(66, 170, 24, 24), Icon::Menu, ButtonStyle::Glyph, "DVD Menu",
       true},
      {"skImageButton_Language", QRect(92, 170, 24, 24), Icon::Language, ButtonStyle::Glyph,
       "Audio Language", true},
      {"skImageButton_SubPicture", QRect(118, 170, 24, 24), Icon::Subtitle, ButtonStyle::Glyph,
       "Subtitles", true},
      {"skImageButton_PlaybackRate", QRect(144, 170, 24, 24), Icon::Rate, ButtonStyle::Glyph,
       "Playback Rate", true},
      {"skImageButton_Mute", QRect(178, 170, 24, 24), Icon::Volume, ButtonStyle::Glyph, "Mute",
       true},
      {"skImageButton_DeMute", QRect(178, 170, 24, 24), Icon::Mute, ButtonStyle::Active, "Sound On",
       false},
      {"skImageButton_VolumeDown", QRect(204, 172, 20, 20), Icon::VolumeDown, ButtonStyle::Glyph,
       "Volume Down", true},
      {"skImageButton_VolumeUp", QRect(288, 172, 20, 20), Icon::VolumeUp, ButtonStyle::Glyph,
       "Volume Up", true},
      {"skImageButton_Play", QRect(132, 82, 56, 56), Icon::Play, ButtonStyle::Primary, "Play",
       false},
  };
  PlaceButtons(b, kPanel, "Panel", bg, buttons, {ButtonStyle::Round}, 0.66);
  b.Dynamic(kPanel, "Dynamic_Play", "Panel/PlayAnim", Crop(bg, QRect(132, 82, 56, 56)), {132, 82},
            12, 50, 2000);
  b.Bar(kPanel, "ProgressBar", "Panel/Progress", Crop(bg, QRect(14, 146, 292, 14)), {14, 146}, 7, 4,
        true);
  b.Bar(kPanel, "VolumeBar", "Panel/Volume", Crop(bg, QRect(224, 175, 64, 14)), {224, 175}, 7, 4,
        true);
  b.Image(kPanel, "Image_Background", "Panel/Background", bg, {0, 0}, true, false);
}

}  // namespace

bool BuildAquaSkin(const QString& root) {
  SkinBuilder b(root, "Aqua", LightPalette());
  Style s;
  s.mainWidth = 680;
  s.mainHeight = 440;
  s.titleHeight = 26;
  s.edgeWidth = 5;
  s.statusHeight = 20;
  s.barHeight = 72;
  s.cornerRadius = 10;
  s.minWidth = 600;
  s.minHeight = 150;
  s.canSetMaxWindow = true;
  s.needCutCorner = true;
  s.windowButtons = ButtonStyle::Glyph;
  s.sideWidth = 240;
  s.sideTop = 66;
  QImage bar = ControlBar(b, s);
  ControlPanel(b);
  return FinishSkin(b, s, bar);
}

}  // namespace skingen
