#include "player/settings/Ft_lumoradvdsetupform.h"

#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cmath>

#include "clipcore/Clipcore.h"
#include "platform/Bitmap.h"
#include "platform/MessageBox.h"
#include "platform/Profile.h"
#include "platform/ProgramFolder.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/widgets/TskImageButton.h"

namespace {

constexpr char kBoxCaption[] = "LumoraDVD";
constexpr int kPreviewWidth = 298;
constexpr int kPreviewHeight = 217;
// A preview bitmap larger than this is not a preview; it is left out rather than decoded.
constexpr int kPreviewMaxSide = 8192;
constexpr qint64 kPreviewMaxPixels = qint64(4096) * 4096;

QString RatioText(double ratio) {
  return QStringLiteral("w / h = ") + QString::number(ratio, 'f', 2);
}

// Text that is not a number counts as the lower bound, so a half-typed field never divides by 0.
int FieldValue(const QSpinBox* field) {
  bool ok = false;
  const int v = field->cleanText().trimmed().toInt(&ok, 10);
  return ok ? ClampValue(v, 1, 999) : 1;
}

QIcon MakeFavoriteMark() {
  // Drawn at twice the list's icon size so it stays crisp when the desktop scales by 2.
  QPixmap pm(32, 32);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath star;
  for (int i = 0; i < 10; ++i) {
    const double r = (i % 2 == 0) ? 15.0 : 6.5;
    const double a = -M_PI / 2 + i * M_PI / 5;
    const QPointF pt(16 + r * std::cos(a), 16.5 + r * std::sin(a));
    if (i == 0)
      star.moveTo(pt);
    else
      star.lineTo(pt);
  }
  star.closeSubpath();
  p.setPen(QPen(QColor(150, 100, 0), 1.5));
  p.setBrush(QColor(255, 196, 0));
  p.drawPath(star);
  p.end();
  return QIcon(pm);
}

QToolButton* MakeDefaultButton(QWidget* parent, const char* name) {
  auto* b = new QToolButton(parent);
  b->setObjectName(name);
  b->setToolTip("default");
  b->setAccessibleName(QStringLiteral("default"));
  b->setIcon(parent->style()->standardIcon(QStyle::SP_BrowserReload));
  b->setFocusPolicy(Qt::StrongFocus);
  return b;
}

// Reaches the spin box's own line edit, whose text changes even while it is no valid value.
class SpinField : public QSpinBox {
 public:
  using QSpinBox::QSpinBox;
  QLineEdit* Editor() const { return lineEdit(); }
};

QSlider* MakeTrackBar(QWidget* parent, const char* name, int lo, int hi) {
  auto* s = new QSlider(Qt::Horizontal, parent);
  s->setObjectName(name);
  s->setAccessibleName(name);
  s->setRange(lo, hi);
  // Arrow keys move by a whole engine unit, Page keys by ten.
  s->setSingleStep(10);
  s->setPageStep(100);
  s->setMinimumWidth(150);
  return s;
}

}  // namespace

TFT_LumoraDVD_SetupForm::TFT_LumoraDVD_SetupForm(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
  FT_LumoraDVD_SetupForm = this;
  setObjectName("FT_LumoraDVD_SetupForm");
  setWindowTitle("Setup");
  setModal(true);
  ImageList1.push_back(MakeFavoriteMark());
  CreateComponents();
  resize(336, 422);
  SelectPage(kVideoSetupPage);
}

TFT_LumoraDVD_SetupForm::~TFT_LumoraDVD_SetupForm() {
  if (FT_LumoraDVD_SetupForm == this) FT_LumoraDVD_SetupForm = nullptr;
}

void TFT_LumoraDVD_SetupForm::SelectPage(int page) {
  if (PageControl) PageControl->setCurrentIndex(ClampValue(page, 0, PageControl->count() - 1));
}

void TFT_LumoraDVD_SetupForm::CreateComponents() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  PageControl = new QTabWidget(this);
  PageControl->setObjectName("PageControl");
  layout->addWidget(PageControl, 1);
  TabSheet_VideoSetup = CreateVideoPage();
  TabSheet_SkinSetup = CreateSkinPage();
  TabSheet_TVSetup = CreateTVPage();
  PageControl->addTab(TabSheet_VideoSetup, "Video Setup");
  PageControl->addTab(TabSheet_SkinSetup, "Skin Setup");
  PageControl->addTab(TabSheet_TVSetup, "TV Setup");

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  BitBtn1 = new QPushButton("OK", this);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setDefault(true);
  BitBtn6 = new QPushButton("Cancel", this);
  BitBtn6->setObjectName("BitBtn6");
  buttons->addWidget(BitBtn1);
  buttons->addWidget(BitBtn6);
  layout->addLayout(buttons);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  connect(BitBtn6, &QPushButton::clicked, this, &QDialog::reject);
  // Only the OK button answers Enter; the page buttons act on click or Space.
  for (QPushButton* b : findChildren<QPushButton*>())
    if (b != BitBtn1) b->setAutoDefault(false);
  // Row by row as the pages read; Tab skips the pages not shown.
  QWidget* order[] = {PageControl->findChild<QTabBar*>(),
                      skTrackBar_Brightness,
                      BitBtn_Brightness,
                      skTrackBar_Contrast,
                      BitBtn_Contrast,
                      skTrackBar_Hue,
                      BitBtn_Hue,
                      skTrackBar_Saturation,
                      BitBtn_Saturation,
                      skRadioButton_K,
                      skRadioButton_F,
                      skRadioButton_A,
                      skRadioButton_C,
                      skSpinEdit_W,
                      skSpinEdit_H,
                      skEdit_SnapshotFolder,
                      Button1,
                      ComboBox_SkinName,
                      ListView_Channel,
                      Button_Scan,
                      Button_Delete,
                      Button_Favorite,
                      BitBtn1,
                      BitBtn6};
  for (size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
}

QWidget* TFT_LumoraDVD_SetupForm::CreateVideoPage() {
  auto* page = new QWidget();
  page->setObjectName("TabSheet_VideoSetup");
  auto* v = new QVBoxLayout(page);

  GroupBox_VideoControl = new QGroupBox("Video Control", page);
  GroupBox_VideoControl->setObjectName("GroupBox_VideoControl");
  auto* grid = new QGridLayout(GroupBox_VideoControl);
  skTrackBar_Brightness = MakeTrackBar(GroupBox_VideoControl, "skTrackBar_Brightness", -2550, 2550);
  skTrackBar_Contrast = MakeTrackBar(GroupBox_VideoControl, "skTrackBar_Contrast", 0, 100);
  skTrackBar_Hue = MakeTrackBar(GroupBox_VideoControl, "skTrackBar_Hue", -1800, 1800);
  skTrackBar_Saturation = MakeTrackBar(GroupBox_VideoControl, "skTrackBar_Saturation", 0, 100);
  // Contrast and saturation span only 0..10 units; a whole unit per key would be too coarse.
  skTrackBar_Contrast->setSingleStep(1);
  skTrackBar_Contrast->setPageStep(10);
  skTrackBar_Saturation->setSingleStep(1);
  skTrackBar_Saturation->setPageStep(10);
  BitBtn_Brightness = MakeDefaultButton(GroupBox_VideoControl, "BitBtn_Brightness");
  BitBtn_Contrast = MakeDefaultButton(GroupBox_VideoControl, "BitBtn_Contrast");
  BitBtn_Hue = MakeDefaultButton(GroupBox_VideoControl, "BitBtn_Hue");
  BitBtn_Saturation = MakeDefaultButton(GroupBox_VideoControl, "BitBtn_Saturation");
  const struct {
    const char* caption;
    QSlider* bar;
    QToolButton* reset;
  } rows[] = {{"Brightness", skTrackBar_Brightness, BitBtn_Brightness},
              {"Contrast", skTrackBar_Contrast, BitBtn_Contrast},
              {"Hue", skTrackBar_Hue, BitBtn_Hue},
              {"Saturation", skTrackBar_Saturation, BitBtn_Saturation}};
  int r = 0;
  for (const auto& row : rows) {
    auto* label = new QLabel(row.caption, GroupBox_VideoControl);
    label->setBuddy(row.bar);
    grid->addWidget(label, r, 0);
    grid->addWidget(row.bar, r, 1);
    grid->addWidget(row.reset, r, 2);
    ++r;
  }
  grid->setColumnStretch(1, 1);
  v->addWidget(GroupBox_VideoControl);

  connect(skTrackBar_Brightness, &QSlider::valueChanged, this,
          &TFT_LumoraDVD_SetupForm::skTrackBar_BrightnessChange);
  connect(skTrackBar_Contrast, &QSlider::valueChanged, this,
          &TFT_LumoraDVD_SetupForm::skTrackBar_ContrastChange);
  connect(skTrackBar_Hue, &QSlider::valueChanged, this,
          &TFT_LumoraDVD_SetupForm::skTrackBar_HueChange);
  connect(skTrackBar_Saturation, &QSlider::valueChanged, this,
          &TFT_LumoraDVD_SetupForm::skTrackBar_SaturationChange);
  connect(BitBtn_Brightness, &QToolButton::clicked, this,
          &TFT_LumoraDVD_SetupForm::BitBtn_BrightnessClick);
  connect(BitBtn_Contrast, &QToolButton::clicked, this,
          &TFT_LumoraDVD_SetupForm::BitBtn_ContrastClick);
  connect(BitBtn_Hue, &QToolButton::clicked, this, &TFT_LumoraDVD_SetupForm::BitBtn_HueClick);
  connect(BitBtn_Saturation, &QToolButton::clicked, this,
          &TFT_LumoraDVD_SetupForm::BitBtn_SaturationClick);

  skGroupBox1 = new QGroupBox("Aspect Ratio", page);
  skGroupBox1->setObjectName("skGroupBox1");
  auto* ag = new QGridLayout(skGroupBox1);
  skRadioButton_K = new QRadioButton("Keep Aspect Ratio", skGroupBox1);
  skRadioButton_K->setObjectName("skRadioButton_K");
  skRadioButton_F = new QRadioButton("Fill Screen", skGroupBox1);
  skRadioButton_F->setObjectName("skRadioButton_F");
  skRadioButton_A = new QRadioButton("Always 1:1", skGroupBox1);
  skRadioButton_A->setObjectName("skRadioButton_A");
  skRadioButton_C = new QRadioButton("Custom", skGroupBox1);
  skRadioButton_C->setObjectName("skRadioButton_C");
  m_AspectGroup = new QButtonGroup(this);
  m_AspectGroup->addButton(skRadioButton_K, 0);
  m_AspectGroup->addButton(skRadioButton_F, 1);
  m_AspectGroup->addButton(skRadioButton_A, 2);
  m_AspectGroup->addButton(skRadioButton_C, 3);
  ag->addWidget(skRadioButton_K, 0, 0);
  ag->addWidget(skRadioButton_F, 0, 1);
  ag->addWidget(skRadioButton_A, 1, 0);
  ag->addWidget(skRadioButton_C, 1, 1);
  auto* custom = new QHBoxLayout();
  auto* wl = new QLabel("w", skGroupBox1);
  skSpinEdit_W = new SpinField(skGroupBox1);
  skSpinEdit_W->setObjectName("skSpinEdit_W");
  auto* hl = new QLabel("h", skGroupBox1);
  skSpinEdit_H = new SpinField(skGroupBox1);
  skSpinEdit_H->setObjectName("skSpinEdit_H");
  for (QSpinBox* s : {skSpinEdit_W, skSpinEdit_H}) {
    s->setRange(1, 999);
    s->setSingleStep(1);
    s->setValue(1);
    s->setAccessibleName(s->objectName());
  }
  wl->setBuddy(skSpinEdit_W);
  hl->setBuddy(skSpinEdit_H);
  Label9 = new QLabel(RatioText(1.0), skGroupBox1);
  Label9->setObjectName("Label9");
  custom->addWidget(wl);
  custom->addWidget(skSpinEdit_W);
  custom->addWidget(hl);
  custom->addWidget(skSpinEdit_H);
  custom->addSpacing(6);
  custom->addWidget(Label9, 1);
  ag->addLayout(custom, 2, 0, 1, 2);
  v->addWidget(skGroupBox1);
  // Radio buttons report clicks (keyboard moves in the group click too), not the
  // checks FormShow makes.
  connect(m_AspectGroup, &QButtonGroup::buttonClicked, this,
          &TFT_LumoraDVD_SetupForm::skRadioButton_KClick);
  // Every change of the text counts: values set in code or typed reach the spin box's own
  // signal; text it cannot take as a value yet (empty, 0) only its line edit reports.
  for (QSpinBox* s : {skSpinEdit_W, skSpinEdit_H}) {
    connect(s, &QSpinBox::textChanged, this, &TFT_LumoraDVD_SetupForm::skSpinEdit_WChange);
    connect(static_cast<SpinField*>(s)->Editor(), &QLineEdit::textChanged, this, [this, s] {
      if (!s->hasAcceptableInput()) skSpinEdit_WChange();
    });
  }

  Label1 = new QLabel("Snapshot Folder", page);
  Label1->setObjectName("Label1");
  v->addWidget(Label1);
  auto* folder = new QHBoxLayout();
  skEdit_SnapshotFolder = new QLineEdit(page);
  skEdit_SnapshotFolder->setObjectName("skEdit_SnapshotFolder");
  skEdit_SnapshotFolder->setAccessibleName("Snapshot Folder");
  skEdit_SnapshotFolder->setReadOnly(true);
  Label1->setBuddy(skEdit_SnapshotFolder);
  Button1 = new QPushButton("Browse", page);
  Button1->setObjectName("Button1");
  folder->addWidget(skEdit_SnapshotFolder, 1);
  folder->addWidget(Button1);
  v->addLayout(folder);
  v->addStretch(1);
  connect(Button1, &QPushButton::clicked, this, &TFT_LumoraDVD_SetupForm::Button1Click);
  return page;
}

QWidget* TFT_LumoraDVD_SetupForm::CreateSkinPage() {
  auto* page = new QWidget();
  page->setObjectName("TabSheet_SkinSetup");
  auto* v = new QVBoxLayout(page);
  Label2 = new QLabel("Skin Name", page);
  Label2->setObjectName("Label2");
  ComboBox_SkinName = new QComboBox(page);
  ComboBox_SkinName->setObjectName("ComboBox_SkinName");
  ComboBox_SkinName->setAccessibleName("Skin Name");
  ComboBox_SkinName->setEditable(false);
  Label2->setBuddy(ComboBox_SkinName);
  Image_Preview = new QLabel(page);
  Image_Preview->setObjectName("Image_Preview");
  Image_Preview->setFixedSize(kPreviewWidth, kPreviewHeight);
  Image_Preview->setScaledContents(true);
  Image_Preview->setAutoFillBackground(false);
  v->addWidget(Label2);
  v->addWidget(ComboBox_SkinName);
  v->addSpacing(6);
  v->addWidget(Image_Preview, 0, Qt::AlignHCenter);
  v->addStretch(1);
  connect(ComboBox_SkinName, &QComboBox::currentIndexChanged, this,
          &TFT_LumoraDVD_SetupForm::ComboBox_SkinNameChange);
  return page;
}

QWidget* TFT_LumoraDVD_SetupForm::CreateTVPage() {
  auto* page = new QWidget();
  page->setObjectName("TabSheet_TVSetup");
  auto* v = new QVBoxLayout(page);
  ListView_Channel = new QTreeWidget(page);
  ListView_Channel->setObjectName("ListView_Channel");
  ListView_Channel->setAccessibleName("Channel list");
  ListView_Channel->setColumnCount(3);
  ListView_Channel->setHeaderLabels({"Channel Name", "Channel Index", "Favorite"});
  ListView_Channel->hideColumn(kFavoriteColumn);
  ListView_Channel->setRootIsDecorated(false);
  ListView_Channel->setItemsExpandable(false);
  ListView_Channel->setUniformRowHeights(true);
  ListView_Channel->setAllColumnsShowFocus(true);
  ListView_Channel->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView_Channel->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView_Channel->setIconSize(QSize(16, 16));
  QHeaderView* header = ListView_Channel->header();
  header->setStretchLastSection(false);
  header->setSectionsMovable(false);
  header->setSectionResizeMode(kNameColumn, QHeaderView::Fixed);
  header->resizeSection(kNameColumn, 150);
  header->resizeSection(kIndexColumn, 120);
  v->addWidget(ListView_Channel, 1);

  auto* row = new QHBoxLayout();
  Button_Scan = new QPushButton("Scan", page);
  Button_Scan->setObjectName("Button_Scan");
  Button_Delete = new QPushButton("Delete", page);
  Button_Delete->setObjectName("Button_Delete");
  Button_Favorite = new QPushButton("Favorite", page);
  Button_Favorite->setObjectName("Button_Favorite");
  row->addWidget(Button_Scan);
  row->addWidget(Button_Delete);
  row->addWidget(Button_Favorite);
  v->addLayout(row);
  connect(Button_Scan, &QPushButton::clicked, this, &TFT_LumoraDVD_SetupForm::Button_ScanClick);
  connect(Button_Delete, &QPushButton::clicked, this, &TFT_LumoraDVD_SetupForm::Button_DeleteClick);
  connect(Button_Favorite, &QPushButton::clicked, this,
          &TFT_LumoraDVD_SetupForm::Button_FavoriteClick);
  connect(ListView_Channel, &QTreeWidget::itemSelectionChanged, this,
          &TFT_LumoraDVD_SetupForm::ListView_ChannelSelectItem);
  return page;
}

void TFT_LumoraDVD_SetupForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (event->spontaneous() || b_Shown) return;
  b_Shown = true;
  // Centred on the screen, not over the (possibly moved or minimised) main window.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
  }
  FormShow();
  // Keyboard users start on the page tabs: arrows or Ctrl+Tab change pages, Tab enters one.
  PageControl->setFocus();
}

void TFT_LumoraDVD_SetupForm::FormShow() {
  // 1. The aspect mode's radio button; the number fields only for "Custom".
  if (QAbstractButton* b = m_AspectGroup->button(ClampValue(MyAspectRatioState, 0, 3)))
    b->setChecked(true);
  skSpinEdit_W->setEnabled(MyAspectRatioState == 3);
  skSpinEdit_H->setEnabled(MyAspectRatioState == 3);

  // 2. The current video's size; each change re-places the picture like a typed one.
  int32_t w = 0, h = 0;
  if (!GetVideoSize(w, h) || w < 1 || h < 1) w = h = 1;
  skSpinEdit_W->setValue(ClampValue<int32_t>(w, 1, 999));
  skSpinEdit_H->setValue(ClampValue<int32_t>(h, 1, 999));

  // 3. The ratio of the values in force.
  if (AspectH > 0 && std::isfinite(AspectW / AspectH)) d_AspectRatio = AspectW / AspectH;
  UpdateAspectLabel();

  // 4. and 5.
  skEdit_SnapshotFolder->setText(QString::fromStdString(CurrentSnapshotPath));
  skTrackBar_Brightness->setValue(l_Bringhtness);
  skTrackBar_Contrast->setValue(l_Contrast);
  skTrackBar_Hue->setValue(l_Hue);
  skTrackBar_Saturation->setValue(l_Saturation);

  // 6. One entry per skin folder. Windows lists folders by name, so sort by name here too.
  {
    const QSignalBlocker block(ComboBox_SkinName);
    ComboBox_SkinName->clear();
    const QDir root(QString::fromStdString(plat::SkinRootFolder()));
    const QFileInfoList dirs =
        root.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    int selected = -1;
    for (const QFileInfo& dir : dirs) {
      const QString name = dir.fileName();
      ComboBox_SkinName->addItem(name);
      if (selected < 0 && CurrentSkinPath.find(name.toStdString()) != std::string::npos)
        selected = ComboBox_SkinName->count() - 1;
      // Keeps the dialog painted while a crowded skin folder is listed; the user's input
      // waits until the list is complete.
      QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    if (ComboBox_SkinName->count() > 0)
      ComboBox_SkinName->setCurrentIndex(selected < 0 ? 0 : selected);
  }
  // 7.
  LoadPreview();
  // 8.
  FillChannels();
  b_FormShown = true;
}

void TFT_LumoraDVD_SetupForm::done(int result) {
  FormClose();
  QDialog::done(result);
}

void TFT_LumoraDVD_SetupForm::FormClose() {
  // Reports still on their way belong to a dialog the user has left; they are dropped.
  b_Closed = true;
  ScanChannel(true);
}

// ---- picture ----

void TFT_LumoraDVD_SetupForm::skTrackBar_BrightnessChange() {
  SetBrightness(skTrackBar_Brightness->value() * 0.1);
}
void TFT_LumoraDVD_SetupForm::skTrackBar_ContrastChange() {
  SetContrast(skTrackBar_Contrast->value() * 0.1);
}
void TFT_LumoraDVD_SetupForm::skTrackBar_HueChange() { SetHue(skTrackBar_Hue->value() * 0.1); }
void TFT_LumoraDVD_SetupForm::skTrackBar_SaturationChange() {
  SetSaturation(skTrackBar_Saturation->value() * 0.1);
}
void TFT_LumoraDVD_SetupForm::BitBtn_BrightnessClick() { skTrackBar_Brightness->setValue(0); }
void TFT_LumoraDVD_SetupForm::BitBtn_ContrastClick() { skTrackBar_Contrast->setValue(10); }
void TFT_LumoraDVD_SetupForm::BitBtn_HueClick() { skTrackBar_Hue->setValue(0); }
void TFT_LumoraDVD_SetupForm::BitBtn_SaturationClick() { skTrackBar_Saturation->setValue(10); }

// ---- aspect ----

void TFT_LumoraDVD_SetupForm::skRadioButton_KClick() {
  if (skRadioButton_K->isChecked())
    MyAspectRatioState = 0;
  else if (skRadioButton_F->isChecked())
    MyAspectRatioState = 1;
  else if (skRadioButton_A->isChecked())
    MyAspectRatioState = 2;
  else
    MyAspectRatioState = 3;
  skSpinEdit_W->setEnabled(skRadioButton_C->isChecked());
  skSpinEdit_H->setEnabled(skRadioButton_C->isChecked());
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ApplyAspectMode();
}

int TFT_LumoraDVD_SetupForm::FieldWidth() const { return FieldValue(skSpinEdit_W); }
int TFT_LumoraDVD_SetupForm::FieldHeight() const { return FieldValue(skSpinEdit_H); }

void TFT_LumoraDVD_SetupForm::skSpinEdit_WChange() {
  const int w = FieldWidth();
  const int h = FieldHeight();
  d_AspectRatio = static_cast<double>(w) / h;
  AspectW = w;
  AspectH = h;
  UpdateAspectLabel();
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->ApplyAspectMode();
}

void TFT_LumoraDVD_SetupForm::UpdateAspectLabel() { Label9->setText(RatioText(d_AspectRatio)); }

// ---- snapshot folder ----

std::string TFT_LumoraDVD_SetupForm::SnapshotFolderText() const {
  return skEdit_SnapshotFolder->text().toStdString();
}

void TFT_LumoraDVD_SetupForm::Button1Click() {
  // Start where the snapshots go now; a folder that vanished starts at its nearest parent.
  QString start = skEdit_SnapshotFolder->text();
  while (!start.isEmpty() && !QFileInfo(start).isDir()) {
    const QString up = QFileInfo(QDir::cleanPath(start)).path();
    start = (up == start || up == QStringLiteral(".")) ? QString() : up;
  }
  if (start.isEmpty()) start = QDir::homePath();
  std::string chosen = start.toStdString();
  if (!plat::BrowseForFolder(this, "Please select Snapshot Folder:", chosen)) return;
  if (chosen.empty()) return;
  // Snapshot files are named by appending to this text, so it must end with the separator.
  if (chosen.back() != '/') chosen += '/';
  const QFileInfo info(QString::fromStdString(chosen));
  if (!info.isDir() || !info.isWritable()) {
    plat::MessageBox(
        this, "Can not write to the folder " + chosen + " . Please select another Snapshot Folder!",
        kBoxCaption, plat::MB_ICONWARNING | plat::MB_OK);
    return;
  }
  skEdit_SnapshotFolder->setText(QString::fromStdString(chosen));
}

// ---- skin ----

std::string TFT_LumoraDVD_SetupForm::ChosenSkinName() const {
  return ComboBox_SkinName->currentText().toStdString();
}

void TFT_LumoraDVD_SetupForm::ComboBox_SkinNameChange() { LoadPreview(); }

void TFT_LumoraDVD_SetupForm::LoadPreview() {
  Image_Preview->clear();
  const std::string name = ChosenSkinName();
  if (name.empty()) return;
  const std::string path = plat::FindFileNoCase(plat::SkinRootFolder() + name + "/Preview.bmp");
  if (path.empty()) return;
  QImageReader reader(QString::fromStdString(path));
  reader.setDecideFormatFromContent(true);
  const QSize size = reader.size();
  // A broken header or an absurd size leaves the preview empty, as a missing file does.
  if (!size.isValid() || size.width() > kPreviewMaxSide || size.height() > kPreviewMaxSide ||
      qint64(size.width()) * size.height() > kPreviewMaxPixels)
    return;
  QImage image;
  if (!reader.read(&image) || image.isNull()) return;
  // Stretched into the preview anyway; keep no more than a 2x screen needs.
  const QSize shown(kPreviewWidth * 2, kPreviewHeight * 2);
  if (image.width() > shown.width() || image.height() > shown.height())
    image = image.scaled(shown, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  Image_Preview->setPixmap(QPixmap::fromImage(image));
}

// ---- TV channels ----

std::string TFT_LumoraDVD_SetupForm::ChannelFilePath() {
  return plat::ProgramFolder() + "TVChannel.ini";
}

void TFT_LumoraDVD_SetupForm::AppendChannelRow(const QString& name, const QString& index,
                                               const QString& favorite) {
  auto* row = new QTreeWidgetItem(ListView_Channel);
  row->setText(kNameColumn, name);
  row->setText(kIndexColumn, index);
  SetRowFavorite(row, favorite != QStringLiteral("N"));
  // The file may say anything but "N"; the row keeps the text it was given.
  row->setText(kFavoriteColumn, favorite);
}

void TFT_LumoraDVD_SetupForm::SetRowFavorite(QTreeWidgetItem* row, bool favorite) {
  row->setText(kFavoriteColumn, favorite ? QStringLiteral("Y") : QStringLiteral("N"));
  // A row without the mark keeps an empty slot so every name starts at the same place.
  static const QIcon noMark = [] {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    return QIcon(pm);
  }();
  row->setIcon(kNameColumn, favorite ? ImageList1[0] : noMark);
}

void TFT_LumoraDVD_SetupForm::FillChannels() {
  const QSignalBlocker block(ListView_Channel);
  ListView_Channel->clear();
  const plat::ProfileFile ini(ChannelFilePath());
  // A damaged count must not make the dialog build millions of rows.
  const int n = ClampValue(ini.getInt("TVGeneral", "Count", 0), 0, kMaxChannels);
  for (int k = 1; k <= n; ++k) {
    const std::string K = std::to_string(k);
    AppendChannelRow(
        QString::fromStdString(ini.get("TVChannel", "ChannelName" + K, "Default Name - " + K)),
        QString::fromStdString(ini.get("TVChannel", "ChannelIndex" + K, "1")),
        QString::fromStdString(ini.get("TVChannel", "ChannelFavorite" + K, "N")));
  }
}

void TFT_LumoraDVD_SetupForm::Button_ScanClick() {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (PlayType != ptTV) {
    if (panel)
      panel->skImageButton_StopClick(
          panel->skImageButton_Stop ? static_cast<QObject*>(panel->skImageButton_Stop) : panel);
    if (!StartTV()) {
      plat::MessageBox(this, "Please Turn TV On first!", kBoxCaption,
                       plat::MB_ICONINFORMATION | plat::MB_OK);
      return;
    }
    if (panel) panel->EnablePlaybackControls(true);
    if (main) main->ShowStatus("TV");
  }
  if (Button_Scan->text() == QStringLiteral("Scan")) {
    if (!ScanChannel(false)) {
      plat::MessageBox(this, "Can not start to scan TV channel. Please check your TV card!",
                       kBoxCaption, plat::MB_ICONERROR | plat::MB_OK);
      return;
    }
    const QSignalBlocker block(ListView_Channel);
    ListView_Channel->clear();
    Button_Scan->setText("Stop");
  } else {
    ScanChannel(true);
    Button_Scan->setText("Scan");
  }
}

void TFT_LumoraDVD_SetupForm::OnScanProgress(WPARAM found, LPARAM channel) {
  emit ScanProgress(static_cast<qulonglong>(found), static_cast<qlonglong>(channel));
  if (b_Closed) return;
  if (found != 0) {
    const QString n = QString::number(static_cast<qlonglong>(channel));
    AppendChannelRow("Default Name - " + n, n, "N");
    return;
  }
  if (ListView_Channel->topLevelItemCount() > 0) {
    bool ok = false;
    const int index = ListView_Channel->topLevelItem(0)->text(kIndexColumn).toInt(&ok, 10);
    if (ok && SetTVChannel(index)) {
      const QSignalBlocker block(ListView_Channel);
      ListView_Channel->clearSelection();
    }
  }
  plat::MessageBox(this, channel != 0 ? "User Cancel." : "Scan Finish.", kBoxCaption,
                   plat::MB_ICONINFORMATION | plat::MB_OK);
}

void TFT_LumoraDVD_SetupForm::ListView_ChannelSelectItem() {
  const QList<QTreeWidgetItem*> rows = ListView_Channel->selectedItems();
  if (rows.isEmpty()) return;
  QTreeWidgetItem* row = rows.first();
  bool ok = false;
  const int index = row->text(kIndexColumn).toInt(&ok, 10);
  // A row whose index is not a number cannot be tuned; it can still be marked or deleted.
  if (ok) SetTVChannel(index);
  Button_Favorite->setText(row->text(kFavoriteColumn) == QStringLiteral("N") ? "Favorite"
                                                                             : "Unfavorite");
}

void TFT_LumoraDVD_SetupForm::Button_DeleteClick() {
  const QList<QTreeWidgetItem*> rows = ListView_Channel->selectedItems();
  if (rows.isEmpty()) return;
  // The list would select the next row by itself and tune it; deleting only deletes.
  const QSignalBlocker block(ListView_Channel);
  delete rows.first();
  ListView_Channel->clearSelection();
}

void TFT_LumoraDVD_SetupForm::Button_FavoriteClick() {
  const QList<QTreeWidgetItem*> rows = ListView_Channel->selectedItems();
  if (rows.isEmpty()) return;
  QTreeWidgetItem* row = rows.first();
  const bool favorite = row->text(kFavoriteColumn) == QStringLiteral("N");
  SetRowFavorite(row, favorite);
  Button_Favorite->setText(favorite ? "Unfavorite" : "Favorite");
}

bool TFT_LumoraDVD_SetupForm::WriteChannels() {
  const std::string path = ChannelFilePath();
  const QFileInfo info(QString::fromStdString(path));
  plat::ProfileFile ini;
  // An existing list that cannot be read or replaced is kept as it is.
  const bool readable = ini.load(path);
  if (info.exists() && (!readable || !info.isWritable())) {
    plat::MessageBox(this, "Can not save the TV channel list to " + path + " !", kBoxCaption,
                     plat::MB_ICONERROR | plat::MB_OK);
    return false;
  }
  const int n = ListView_Channel->topLevelItemCount();
  ini.set("TVGeneral", "Count", std::to_string(n));
  for (int i = 0; i < n; ++i) {
    const QTreeWidgetItem* row = ListView_Channel->topLevelItem(i);
    const std::string K = std::to_string(i + 1);
    ini.set("TVChannel", "ChannelName" + K, row->text(kNameColumn).toStdString());
    ini.set("TVChannel", "ChannelIndex" + K, row->text(kIndexColumn).toStdString());
    ini.set("TVChannel", "ChannelFavorite" + K, row->text(kFavoriteColumn).toStdString());
  }
  // One atomic replacement: a failure part-way never leaves a count without its channels.
  if (!ini.save()) {
    plat::MessageBox(this, "Can not save the TV channel list to " + path + " !", kBoxCaption,
                     plat::MB_ICONERROR | plat::MB_OK);
    return false;
  }
  return true;
}
