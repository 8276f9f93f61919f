// The skin loader: hands every skinnable control of a window its pictures, place, size and
// state from the skin folder's Skin.ini, then sizes, places and shapes the window.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <optional>
#include <string>

class QWidget;

// The window's section: its instance name (objectName), else its class name without the T.
std::string SkinSectionName(const QWidget* window);

// Skins the window and its run-time controls. False (after an error box naming the control)
// when a control fails; false without any change when the folder has no Skin.ini.
bool ApplyWindowSkin(QWidget* window, const std::string& folder);
// The control bar: the first five kinds only, no message, no mask.
bool ApplyFrameSkin(QWidget* bar, const std::string& folder);
// Shapes the container's image buttons again after their windows were re-created.
bool ReapplyButtonShapes(QWidget* container, const std::string& folder);

// The pixels of `bitmap` inside `rect` whose colour is exactly `colour` (RGB; 0 takes the
// top-left pixel's colour), in bitmap coordinates; none when there is no bitmap.
std::optional<QRegion> BuildColourRegion(const QImage& bitmap, QRgb colour, const QRect& rect);

// The folder of the last pass (ends with '/').
const std::string& LoaderSkinFolder();

// The text of the error box for a failing control.
std::string SkinErrorText(const std::string& controlName);
