#include "player/desktop/Mpris.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/Shell.h"
#include "player/controlpanel/Ft_lumoradvdoperationform.h"
#include "player/core/EngineApi.h"
#include "player/core/Ft_lumoradvdplay.h"
#include "player/core/Ft_lumoradvdstate.h"
#include "player/core/HandOffFile.h"
#include "player/mainwindow/Ft_lumoradvdmainform.h"
#include "player/skin/controls/Ftimagebutton.h"
#include "player/widgets/TskImageButton.h"

namespace {

const char kServiceName[] = "org.mpris.MediaPlayer2.LumoraDVD";
const char kObjectPath[] = "/org/mpris/MediaPlayer2";
const char kPlayerInterface[] = "org.mpris.MediaPlayer2.Player";
constexpr qint64 kMicro = 1000000;

QString TrackPath() {
  // Changes whenever what plays changes, as the desktop expects of a track id.
  QString id;
  if (PlayType == ptDVD && FT_LumoraDVD_MainForm)
    id = QString("dvd_%1_%2")
             .arg(FT_LumoraDVD_MainForm->i_CurrentTitle)
             .arg(FT_LumoraDVD_MainForm->i_CurrentChapter);
  else if (PlayType == ptTV)
    id = "tv";
  else if (!CurrentPlayPath.empty())
    id = QString("file_%1").arg(qHash(QString::fromStdString(CurrentPlayPath)));
  else
    return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
  return "/org/lumoradvd/LumoraDVD/track/" + id;
}

QString DiscName() {
  // A disc shows under its folder's name (a mounted disc's folder is its label).
  QString path = QString::fromStdString(CurrentPlayPath);
  while (path.endsWith('/')) path.chop(1);
  const QString name = QFileInfo(path).fileName();
  return name.isEmpty() ? QStringLiteral("DVD") : name;
}

QString g_artPath;
QString g_artTrack;

// A picture of what plays, taken once per track, for the desktop's media widget.
QString ArtFor(const QString& track) {
  if (track == g_artTrack) return g_artPath;
  if (PlayState != psPlaying || PlayType == ptTV) return QString();
  std::unique_ptr<QImage> image = TakeSnapshot();
  if (!image || image->isNull()) return QString();
  QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
  if (dir.isEmpty()) dir = QDir::tempPath();
  const QString path =
      QString("%1/lumoradvd-art-%2.png").arg(dir).arg(QCoreApplication::applicationPid());
  if (!image->scaled(320, 320, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(path))
    return QString();
  g_artTrack = track;
  g_artPath = QUrl::fromLocalFile(path).toString();
  return g_artPath;
}

bool HaveSessionBus() {
  // Without an address libdbus may try to start a bus of its own; a player has no business
  // doing that.
  if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS")) return true;
  const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
  return !runtime.isEmpty() && QFileInfo::exists(runtime + "/bus");
}

}  // namespace

MprisSnapshot ReadMprisSnapshot() {
  MprisSnapshot s;
  s.status = PlayState == psPlaying  ? QStringLiteral("Playing")
             : PlayState == psPaused ? QStringLiteral("Paused")
                                     : QStringLiteral("Stopped");
  const bool active = PlayState == psPlaying || PlayState == psPaused;
  const int index = i_CurrentPlaybackRateIndex;
  s.rate = (PlayState == psPlaying && index >= 0 && index < kPlaybackRateCount)
               ? d_PlaybackRate[index]
               : 1.0;
  s.volume = std::clamp(l_CurrentVolume, 0, 100) / 100.0;
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (active && PlayType == ptDVD && main && panel) {
    s.positionUs = qint64(panel->i_CurrentSeconds) * kMicro;
    s.lengthUs = qint64(main->i_TitleSeconds) * kMicro;
    s.canGoNext = main->i_CurrentChapter > 0 && main->i_CurrentChapter < panel->i_ChapterCount;
    s.canGoPrevious = main->i_CurrentChapter > 1;
  } else if (active && (PlayType == ptFile || PlayType == ptPlayList)) {
    double length = 0, position = 0;
    int32_t percent = 0;
    if (GetPlayInfo(&length, &position, &percent)) {
      s.lengthUs = std::isfinite(length) ? qint64(length * kMicro) : 0;
      s.positionUs = std::isfinite(position) ? qint64(position * kMicro) : 0;
    }
    s.canGoNext = s.canGoPrevious = PlayType == ptPlayList;
  }
  s.canSeek = active && b_CurrentPlaySupportSeek && PlayType != ptTV && s.lengthUs > 0;
  if (PlayType != ptNone && active) {
    const QString track = TrackPath();
    s.metadata.insert("mpris:trackid", QVariant::fromValue(QDBusObjectPath(track)));
    if (s.lengthUs > 0) s.metadata.insert("mpris:length", s.lengthUs);
    if (PlayType == ptDVD && main) {
      s.metadata.insert("xesam:album", DiscName());
      s.metadata.insert("xesam:title", QString("Title %1").arg(main->i_CurrentTitle));
      s.metadata.insert("xesam:trackNumber", main->i_CurrentChapter);
    } else if (PlayType == ptTV) {
      s.metadata.insert("xesam:title", QStringLiteral("TV"));
    } else {
      s.metadata.insert("xesam:title",
                        QFileInfo(QString::fromStdString(CurrentPlayPath)).fileName());
      s.metadata.insert("xesam:url",
                        QUrl::fromLocalFile(QString::fromStdString(CurrentPlayPath)).toString());
    }
    const QString art = ArtFor(track);
    if (!art.isEmpty()) s.metadata.insert("mpris:artUrl", art);
  }
  return s;
}

MprisService::MprisService(QObject* parent) : QObject(parent) {
  new MprisRootAdaptor(this);
  new MprisPlayerAdaptor(this);
  timer_ = new QTimer(this);
  timer_->setInterval(250);
  connect(timer_, &QTimer::timeout, this, &MprisService::Poll);
}

MprisService::~MprisService() {
  if (registered_) {
    plat::InhibitScreenSaver(false);
    bus_.unregisterObject(kObjectPath);
    bus_.unregisterService(kServiceName);
  }
}

bool MprisService::Register(QDBusConnection bus) {
  timer_->start();
  if (!bus.isConnected()) return false;
  if (!bus.registerObject(kObjectPath, this, QDBusConnection::ExportAdaptors)) return false;
  // Asked without waiting: a bus that does not answer must not hold up the player.
  QDBusMessage request = QDBusMessage::createMethodCall(
      "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName");
  request << QString(kServiceName) << uint(4);  // DBUS_NAME_FLAG_DO_NOT_QUEUE
  bus.asyncCall(request);
  bus_ = bus;
  registered_ = true;
  return true;
}

void MprisService::Announce(const QVariantMap& changed) {
  if (!registered_ || changed.isEmpty()) return;
  QDBusMessage signal = QDBusMessage::createSignal(kObjectPath, "org.freedesktop.DBus.Properties",
                                                   "PropertiesChanged");
  signal << QString(kPlayerInterface) << changed << QStringList();
  bus_.send(signal);
}

void MprisService::Poll() {
  const MprisSnapshot now = ReadMprisSnapshot();
  if (registered_) plat::InhibitScreenSaver(now.status == QLatin1String("Playing"));
  QVariantMap changed;
  if (first_ || now.status != last_.status) changed.insert("PlaybackStatus", now.status);
  if (first_ || now.rate != last_.rate) changed.insert("Rate", now.rate);
  if (first_ || now.volume != last_.volume) changed.insert("Volume", now.volume);
  if (first_ || now.metadata != last_.metadata) changed.insert("Metadata", now.metadata);
  if (first_ || now.canSeek != last_.canSeek) changed.insert("CanSeek", now.canSeek);
  if (first_ || now.canGoNext != last_.canGoNext) changed.insert("CanGoNext", now.canGoNext);
  if (first_ || now.canGoPrevious != last_.canGoPrevious)
    changed.insert("CanGoPrevious", now.canGoPrevious);
  // Position is not announced; a jump that ordinary playing cannot explain is.
  const qint64 expected = last_.positionUs + qint64(timer_->interval()) * 1000 * 2;
  if (!first_ && now.status != QLatin1String("Stopped") &&
      (now.positionUs < last_.positionUs - kMicro || now.positionUs > expected + 2 * kMicro))
    emit Seeked(now.positionUs);
  first_ = false;
  last_ = now;
  Announce(changed);
}

void MprisService::Play() {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (!panel) return;
  if (PlayState == psPlaying && i_CurrentPlaybackRateIndex == kNormalRateIndex) return;
  panel->PlayFromControl(panel->skImageButton_Play);
  Poll();
}

void MprisService::Pause() {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (!panel || PlayState != psPlaying) return;
  panel->skImageButton_PauseClick(panel->skImageButton_Pause);
  Poll();
}

void MprisService::PlayPause() {
  if (PlayState == psPlaying)
    Pause();
  else
    Play();
}

void MprisService::Stop() {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (!panel || (PlayState != psPlaying && PlayState != psPaused)) return;
  panel->skImageButton_StopClick(panel->skImageButton_Stop);
  Poll();
}

void MprisService::Next() {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (!panel || !ReadMprisSnapshot().canGoNext) return;
  panel->skImageButton_NextChapterClick(panel->skImageButton_NextChapter);
  Poll();
}

void MprisService::Previous() {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (!panel || !ReadMprisSnapshot().canGoPrevious) return;
  panel->skImageButton_NextChapterClick(panel->skImageButton_PreviousChapter);
  Poll();
}

void MprisService::Seek(qint64 offsetUs) {
  const MprisSnapshot s = ReadMprisSnapshot();
  if (!s.canSeek) return;
  // Offsets far outside the title are held to it rather than refused, as media keys send
  // them blindly; the last second stays so the end is not skipped.
  const qint64 target = std::clamp(s.positionUs + std::clamp(offsetUs, -s.lengthUs, s.lengthUs),
                                   qint64(0), std::max<qint64>(0, s.lengthUs - kMicro));
  if (SeekSeconds(int32_t(target / kMicro))) emit Seeked(target);
}

void MprisService::SetPosition(const QDBusObjectPath& track, qint64 positionUs) {
  const MprisSnapshot s = ReadMprisSnapshot();
  if (!s.canSeek || track.path() != TrackPath()) return;
  if (positionUs < 0 || positionUs > s.lengthUs) return;
  if (SeekSeconds(int32_t(positionUs / kMicro))) emit Seeked(positionUs);
}

bool MprisService::OpenUri(const QString& uri) {
  const QUrl url(uri);
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  // Only the user's own files: a remote address is never handed to an engine.
  if (!panel || !url.isLocalFile()) return false;
  const QString path = url.toLocalFile();
  if (!QFileInfo::exists(path)) return false;
  CurrentPlayPath = ApplyDVDFolderRule(path.toStdString());
  panel->skImageButton_StopClick(nullptr);
  panel->PlayFromControl(nullptr);
  Poll();
  return true;
}

void MprisService::SetVolume(double volume) {
  TFT_LumoraDVD_OperationForm* panel = FT_LumoraDVD_OperationForm;
  if (!panel || !panel->VolumeBar || !std::isfinite(volume)) return;
  // Through the volume bar, as if the user had dragged it.
  panel->VolumeBar->SetPosition(int(std::lround(std::clamp(volume, 0.0, 1.0) * 100)), true);
  Poll();
}

void MprisService::SetRate(double rate) {
  if (!std::isfinite(rate) || PlayState != psPlaying) return;
  for (int i = 0; i < kPlaybackRateCount; ++i) {
    if (std::fabs(d_PlaybackRate[i] - rate) < 1e-6) {
      if (SetPlaybackRate(d_PlaybackRate[i])) i_CurrentPlaybackRateIndex = i;
      Poll();
      return;
    }
  }
}

void MprisService::Raise() {
  TFT_LumoraDVD_MainForm* main = FT_LumoraDVD_MainForm;
  if (!main) return;
  if (main->isMinimized()) main->showNormal();
  main->show();
  main->raise();
  main->activateWindow();
}

void MprisService::Quit() {
  if (FT_LumoraDVD_MainForm) FT_LumoraDVD_MainForm->close();
}

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {}

QStringList MprisRootAdaptor::SupportedMimeTypes() const {
  return {"video/mpeg",       "video/x-vob", "video/mp4",
          "video/x-matroska", "video/webm",  "video/x-msvideo",
          "video/quicktime",  "video/mp2t",  "application/x-iso9660-image"};
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(service) {
  setAutoRelaySignals(true);
}

double MprisPlayerAdaptor::MinimumRate() const {
  return *std::min_element(d_PlaybackRate, d_PlaybackRate + kPlaybackRateCount);
}

double MprisPlayerAdaptor::MaximumRate() const {
  return *std::max_element(d_PlaybackRate, d_PlaybackRate + kPlaybackRateCount);
}

void StartDesktopIntegration() {
  // After the start sequence: the windows exist and the command line has been acted on.
  QTimer::singleShot(0, qApp, [] {
    if (!FT_LumoraDVD_MainForm) return;
    auto* service = new MprisService(FT_LumoraDVD_MainForm);
    if (HaveSessionBus())
      service->Register(QDBusConnection::sessionBus());
    else
      service->Register(QDBusConnection(QString()));
  });
}
