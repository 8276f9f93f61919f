#include "player/mainwindow/Ft_lumoradvdmainform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFileInfo>
#include <QScreen>
#include <QThread>
#include <cstdio>

#include "platform/DropFiles.h"
#include "platform/Window.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Resume.h"
#include "player/mainwindow/Ft_lumoradvdcontrolframe.h"
#include "player/settings/Ft_lumoradvdsetupform.h"
#include "player/widgets/TImage.h"
#include "player/widgets/TLabel.h"
#include "player/widgets/TPanel.h"

TFT_LumoraDVD_MainForm::TFT_LumoraDVD_MainForm(QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint) {
  FT_LumoraDVD_MainForm = this;
  FT_LumoraDVD_SetupForm = nullptr;
  setObjectName("FT_LumoraDVD_MainForm");
  setAcceptDrops(true);
  resize(657, 374);
  CreateComponents();
  h_Handle = plat::RegisterWindow(this, [this](unsigned msg, WPARAM w, LPARAM l, LRESULT& result) {
    return DispatchMessage(msg, w, l, result);
  });
  FormCreate();
}

TFT_LumoraDVD_MainForm::~TFT_LumoraDVD_MainForm() {
  if (FT_LumoraDVD_MainForm == this) FT_LumoraDVD_MainForm = nullptr;
}

void TFT_LumoraDVD_MainForm::FormCreate() {
  auto* bar = new TFT_LumoraDVD_ControlFrame(
      Panel_ControlPanel ? static_cast<QWidget*>(Panel_ControlPanel) : this);
  FT_LumoraDVD_ControlFrame = bar;
  if (Panel_MainForm_Center) {
    // The engines draw into the video panel through its handle.
    h_CurrentPreviewWindow = plat::RegisterWindow(Panel_MainForm_Center);
    // Zoom mode follows the pointer over the video area without a button held.
    Panel_MainForm_Center->setMouseTracking(true);
    Panel_MainForm_Center->installEventFilter(this);
  }
  // The title picture fills the strip; the strip under it is what drags the window.
  if (auto* title = findChild<TImage*>("Image_Top_InCenter"))
    title->setAttribute(Qt::WA_TransparentForMouseEvents);
  ConnectFrame();
  s_LastStatus.clear();
  CreateCommands();
}

bool TFT_LumoraDVD_MainForm::DispatchMessage(unsigned msg, WPARAM w, LPARAM l, LRESULT& result) {
  result = 0;
  switch (msg) {
    case WM_MEDIA_GRAPH_EVENT:
      HandleMediaGraphEvent();
      return true;
    case WM_DVD_GRAPH_EVENT:
      HandleDVDGraphEvent();
      return true;
    case WM_TV_SCAN_PROGRESS:
      // Only a settings dialog that exists can show scan progress.
      if (FT_LumoraDVD_SetupForm) FT_LumoraDVD_SetupForm->OnScanProgress(w, l);
      return true;
    case WM_OPEN_OTHER_FILE:
      HandleOpenOtherFile();
      return true;
    case WM_DROPFILES:
      HandleDroppedFiles(w);
      plat::DragFinish(w);
      return true;
    default:
      return false;
  }
}

void TFT_LumoraDVD_MainForm::ShowPlayingFileName(const std::string& path) {
  if (!Label_CurrentPlayFileName) return;
  const QString full = QString::fromStdString(path);
  Label_CurrentPlayFileName->SetAutoSize(true);
  Label_CurrentPlayFileName->SetCaption("* *   " + QFileInfo(full).fileName() + "   * *");
  Label_CurrentPlayFileName->SetAutoSize(false);
  Label_CurrentPlayFileName->SetCaption(Label_CurrentPlayFileName->Caption() +
                                        QString(15, QLatin1Char(' ')));
  Label_CurrentPlayFileName->SetHint(full);
}

void TFT_LumoraDVD_MainForm::FormClose() {
  if (b_Closed) return;
  b_Closed = true;
  // The player ends without stopping playback, so this is the last chance to keep the place.
  RememberPlayPosition();
  SaveOptions();
  if (FT_LumoraDVD_ControlFrame) {
    delete FT_LumoraDVD_ControlFrame;
    FT_LumoraDVD_ControlFrame = nullptr;
  }
}

void TFT_LumoraDVD_MainForm::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
  // The main window's end is the application's end, whatever else is open.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

void TFT_LumoraDVD_MainForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (width() != i_LastWidth || height() != i_LastHeight) {
    ApplyWindowRegion();
    i_LastWidth = width();
    i_LastHeight = height();
    if (PlayType != ptNone) {
      if (b_ZoomMode)
        ZoomTo(i_ZoomLevel);
      else
        ApplyAspectMode();
    }
  }
}

void TFT_LumoraDVD_MainForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!b_FirstShown) {
    b_FirstShown = true;
    if (qEnvironmentVariableIsSet("LUMORA_BENCH_STARTUP")) {
      std::printf("LUMORA_FIRST_SHOWN %lld\n",
                  static_cast<long long>(QDateTime::currentMSecsSinceEpoch()));
      std::fflush(stdout);
    }
  }
}
