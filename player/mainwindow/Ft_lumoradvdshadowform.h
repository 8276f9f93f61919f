// The drag outline used by the zoom selector and for docking windows.
#pragma once

#include <QWidget>

class TFT_LumoraDVD_ShadowForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_ShadowForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_ShadowForm() override;

  // Cuts the window to a frame 2 pixels wide.
  void MakeOutlineRegion();

  bool b_Resized = false;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void CreateComponents();
};
