// The "Setup" dialog: picture adjustments, aspect ratio, snapshot folder, skin choice and the
// TV channel scan. Created each time the settings command opens it; the command keeps or
// undoes what the dialog previewed.
#pragma once

#include <QDialog>
#include <QIcon>
#include <string>
#include <vector>

#include "platform/Types.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QShowEvent;
class QSlider;
class QSpinBox;
class QTabWidget;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

class TFT_LumoraDVD_SetupForm : public QDialog {
  Q_OBJECT

 public:
  // Pages of PageControl, in order.
  enum Page { kVideoSetupPage = 0, kSkinSetupPage = 1, kTVSetupPage = 2 };
  // Columns of ListView_Channel; the favourite flag rides in a hidden third column.
  enum Column { kNameColumn = 0, kIndexColumn = 1, kFavoriteColumn = 2 };

  explicit TFT_LumoraDVD_SetupForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_SetupForm() override;

  void SelectPage(int page);

  void FormShow();
  void FormClose();
  // True once FormShow has filled every page.
  bool FormShown() const { return b_FormShown; }

  // Video page.
  void skTrackBar_BrightnessChange();
  void skTrackBar_ContrastChange();
  void skTrackBar_HueChange();
  void skTrackBar_SaturationChange();
  void BitBtn_BrightnessClick();
  void BitBtn_ContrastClick();
  void BitBtn_HueClick();
  void BitBtn_SaturationClick();
  void skRadioButton_KClick();
  void skSpinEdit_WChange();
  void Button1Click();
  // Skin page.
  void ComboBox_SkinNameChange();
  // TV page.
  void FillChannels();
  void Button_ScanClick();
  void ListView_ChannelSelectItem();
  void Button_DeleteClick();
  void Button_FavoriteClick();
  // Progress of a TV channel scan: found != 0 with a channel number, or the
  // end of the scan (channel != 0 when it was cancelled).
  void OnScanProgress(WPARAM found, LPARAM channel);
  // Writes the channel list to TVChannel.ini; false (after telling the user) when it could not.
  bool WriteChannels();

  // The number fields as the command reads them: text that is not a number counts as 1.
  int FieldWidth() const;
  int FieldHeight() const;
  // The chosen skin's folder name, empty when there is none.
  std::string ChosenSkinName() const;
  std::string SnapshotFolderText() const;

  static std::string ChannelFilePath();
  // Most rows a channel list may hold; larger counts in the file are cut to this.
  static constexpr int kMaxChannels = 9999;

  QTabWidget* PageControl = nullptr;
  QWidget* TabSheet_VideoSetup = nullptr;
  QWidget* TabSheet_SkinSetup = nullptr;
  QWidget* TabSheet_TVSetup = nullptr;
  QPushButton* BitBtn1 = nullptr;  // OK
  QPushButton* BitBtn6 = nullptr;  // Cancel

  QGroupBox* GroupBox_VideoControl = nullptr;
  QSlider* skTrackBar_Brightness = nullptr;
  QSlider* skTrackBar_Contrast = nullptr;
  QSlider* skTrackBar_Hue = nullptr;
  QSlider* skTrackBar_Saturation = nullptr;
  QToolButton* BitBtn_Brightness = nullptr;
  QToolButton* BitBtn_Contrast = nullptr;
  QToolButton* BitBtn_Hue = nullptr;
  QToolButton* BitBtn_Saturation = nullptr;

  QGroupBox* skGroupBox1 = nullptr;
  QRadioButton* skRadioButton_K = nullptr;
  QRadioButton* skRadioButton_F = nullptr;
  QRadioButton* skRadioButton_A = nullptr;
  QRadioButton* skRadioButton_C = nullptr;
  QSpinBox* skSpinEdit_W = nullptr;
  QSpinBox* skSpinEdit_H = nullptr;
  QLabel* Label9 = nullptr;

  QLabel* Label1 = nullptr;
  QLineEdit* skEdit_SnapshotFolder = nullptr;
  QPushButton* Button1 = nullptr;

  QLabel* Label2 = nullptr;
  QComboBox* ComboBox_SkinName = nullptr;
  QLabel* Image_Preview = nullptr;

  QTreeWidget* ListView_Channel = nullptr;
  QPushButton* Button_Scan = nullptr;
  QPushButton* Button_Delete = nullptr;
  QPushButton* Button_Favorite = nullptr;
  std::vector<QIcon> ImageList1;  // 0: the favourite mark

 signals:
  void ScanProgress(qulonglong found, qlonglong channel);

 protected:
  void showEvent(QShowEvent* event) override;
  void done(int result) override;

 private:
  void CreateComponents();
  QWidget* CreateVideoPage();
  QWidget* CreateSkinPage();
  QWidget* CreateTVPage();
  void LoadPreview();
  void AppendChannelRow(const QString& name, const QString& index, const QString& favorite);
  void SetRowFavorite(QTreeWidgetItem* row, bool favorite);
  void UpdateAspectLabel();

  QButtonGroup* m_AspectGroup = nullptr;
  bool b_Shown = false;
  bool b_FormShown = false;
  bool b_Closed = false;
};
