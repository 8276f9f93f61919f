// The shipped skins and the window builders they share.
#pragma once

#include <QString>
#include <initializer_list>
#include <vector>

#include "SkinBuilder.h"

namespace skingen {

// Frame measures and switches of one skin.
struct Style {
  int mainWidth = 720, mainHeight = 480;
  int titleHeight = 30, edgeWidth = 6, statusHeight = 22, barHeight = 64;
  int cornerRadius = 8;
  int minWidth = 640, minHeight = 160;
  bool canSetMaxWindow = false, needCutCorner = true;
  ButtonStyle windowButtons = ButtonStyle::Glyph;
  int sideWidth = 260, sideTop = 70, sideEdge = 8, sideBottom = 20;
};

QImage TitleStrip(const Palette& pal, int w, int h);
// The docked and full-screen strip behind the control bar; the bar's background continues it.
QImage ControlStrip(const Palette& pal, int w, int h);

// Main window frame, idle picture and popup side picture; returns the window drawn whole at
// its default size with `bar` docked (for the preview).
QImage BuildMainWindow(SkinBuilder& b, const Style& s, const QImage& bar);
void BuildFullScreen(SkinBuilder& b, const Style& s);
void BuildSidePanel(SkinBuilder& b, const Style& s);
void BuildSkinOptions(SkinBuilder& b, const Style& s);
// Preview.bmp: the composite main window drawn small.
void BuildPreview(SkinBuilder& b, const Style& s, const QImage& shot);

// Display box, and the six time digits HH:MM:SS with the colons drawn on `bg`; returns the x
// after the last digit.
void Lcd(QPainter& p, const QRectF& r, const Palette& pal);
int TimeDigits(SkinBuilder& b, QPainter& bg, const QString& section, const QString& prefix, int x,
               int y, int dw, int dh, int gap, int colonGap);

// One button of a control bar's or panel's table.
struct ButtonSpec {
  const char* key;
  QRect at;
  Icon icon;
  ButtonStyle style;
  const char* hint;
  bool visible = true;
};
// The buttons of `section` in table order, their pictures in "<folder>/<key less its
// skImageButton_ prefix>" drawn over `bg`. Buttons of the `shaped` styles follow their outline
// with the glyph at half size; the others use `plainScale`.
void PlaceButtons(SkinBuilder& b, const QString& section, const QString& folder, const QImage& bg,
                  const std::vector<ButtonSpec>& buttons,
                  std::initializer_list<ButtonStyle> shaped = {}, qreal plainScale = 0.62);
void SetDefaultSize(SkinBuilder& b, const QString& section, int w, int h);
// The control panel's size and rounded mask, and its background: a bevel with the wordmark.
QImage PanelBackground(SkinBuilder& b, const QString& section, int w, int h, int radius,
                       const QRectF& wordmark, int wordSize);
// What every skin draws after its control bar and panel: the windows, the side panel, the
// options, the preview and the cursors; then writes Skin.ini.
bool FinishSkin(SkinBuilder& b, const Style& s, const QImage& bar);

bool BuildDefaultSkin(const QString& root);
bool BuildAquaSkin(const QString& root);
bool BuildGraphiteSkin(const QString& root);

}  // namespace skingen
