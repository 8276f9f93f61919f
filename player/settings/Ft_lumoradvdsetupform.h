// The settings dialog; created only when it is opened.
#pragma once

#include <QWidget>

#include "platform/Types.h"

class TFT_LumoraDVD_SetupForm : public QWidget {
  Q_OBJECT

 public:
  explicit TFT_LumoraDVD_SetupForm(QWidget* owner = nullptr);
  ~TFT_LumoraDVD_SetupForm() override;

  // Progress of a TV channel scan: found != 0 with a channel number, or the
  // end of the scan (channel != 0 when it was cancelled).
  void OnScanProgress(WPARAM found, LPARAM channel);

 signals:
  void ScanProgress(qulonglong found, qlonglong channel);
};
