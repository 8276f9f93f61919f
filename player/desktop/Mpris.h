// The desktop's media-player interface (MPRIS 2 over the session bus) and the screen-saver
// hold while something plays. Both only watch the playback state and call the control
// panel's own commands, so media keys and desktop widgets act exactly like its buttons.
#pragma once

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

class QTimer;

// What the desktop sees of the player, read from the playback state.
struct MprisSnapshot {
  QString status;  // "Playing", "Paused", "Stopped"
  double rate = 1.0;
  double volume = 0.0;  // 0..1
  qint64 positionUs = 0;
  qint64 lengthUs = 0;
  bool canSeek = false;
  bool canGoNext = false;
  bool canGoPrevious = false;
  QVariantMap metadata;
  bool operator==(const MprisSnapshot&) const = default;
};

MprisSnapshot ReadMprisSnapshot();

class MprisService : public QObject {
  Q_OBJECT

 public:
  // Registers on the bus; false (and nothing registered) when the bus is absent or the name
  // is taken.
  explicit MprisService(QObject* parent = nullptr);
  ~MprisService() override;
  bool Register(QDBusConnection bus);
  bool Registered() const { return registered_; }

  // Compares the playback state with what the desktop was last told, announces the
  // differences and holds or releases the screen saver. Runs on a timer; tests call it.
  void Poll();
  const MprisSnapshot& Last() const { return last_; }

  // Commands, as the player interface offers them.
  void Play();
  void Pause();
  void PlayPause();
  void Stop();
  void Next();
  void Previous();
  void Seek(qint64 offsetUs);
  void SetPosition(const QDBusObjectPath& track, qint64 positionUs);
  bool OpenUri(const QString& uri);
  void SetVolume(double volume);
  void SetRate(double rate);
  void Raise();
  void Quit();

 signals:
  void Seeked(qint64 positionUs);

 private:
  void Announce(const QVariantMap& changed);
  QDBusConnection bus_{QString()};
  bool registered_ = false;
  QTimer* timer_ = nullptr;
  MprisSnapshot last_;
  bool first_ = true;
};

// Starts the service and the screen-saver hold once the event loop runs.
void StartDesktopIntegration();

// org.mpris.MediaPlayer2
class MprisRootAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ CanQuit)
  Q_PROPERTY(bool CanRaise READ CanRaise)
  Q_PROPERTY(bool HasTrackList READ HasTrackList)
  Q_PROPERTY(QString Identity READ Identity)
  Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)

 public:
  explicit MprisRootAdaptor(MprisService* service);
  bool CanQuit() const { return true; }
  bool CanRaise() const { return true; }
  bool HasTrackList() const { return false; }
  QString Identity() const { return QStringLiteral("LumoraDVD"); }
  QString DesktopEntry() const { return QStringLiteral("org.lumoradvd.LumoraDVD"); }
  QStringList SupportedUriSchemes() const { return {QStringLiteral("file")}; }
  QStringList SupportedMimeTypes() const;

 public slots:
  void Raise() { service_->Raise(); }
  void Quit() { service_->Quit(); }

 private:
  MprisService* service_;
};

// org.mpris.MediaPlayer2.Player
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
  Q_PROPERTY(double Rate READ Rate WRITE SetRate)
  Q_PROPERTY(QVariantMap Metadata READ Metadata)
  Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
  Q_PROPERTY(qlonglong Position READ Position)
  Q_PROPERTY(double MinimumRate READ MinimumRate)
  Q_PROPERTY(double MaximumRate READ MaximumRate)
  Q_PROPERTY(bool CanGoNext READ CanGoNext)
  Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
  Q_PROPERTY(bool CanPlay READ CanPlay)
  Q_PROPERTY(bool CanPause READ CanPause)
  Q_PROPERTY(bool CanSeek READ CanSeek)
  Q_PROPERTY(bool CanControl READ CanControl)

 public:
  explicit MprisPlayerAdaptor(MprisService* service);
  QString PlaybackStatus() const { return ReadMprisSnapshot().status; }
  double Rate() const { return ReadMprisSnapshot().rate; }
  void SetRate(double rate) { service_->SetRate(rate); }
  QVariantMap Metadata() const { return ReadMprisSnapshot().metadata; }
  double Volume() const { return ReadMprisSnapshot().volume; }
  void SetVolume(double v) { service_->SetVolume(v); }
  qlonglong Position() const { return ReadMprisSnapshot().positionUs; }
  double MinimumRate() const;
  double MaximumRate() const;
  bool CanGoNext() const { return ReadMprisSnapshot().canGoNext; }
  bool CanGoPrevious() const { return ReadMprisSnapshot().canGoPrevious; }
  bool CanPlay() const { return true; }
  bool CanPause() const { return true; }
  bool CanSeek() const { return ReadMprisSnapshot().canSeek; }
  bool CanControl() const { return true; }

 public slots:
  void Next() { service_->Next(); }
  void Previous() { service_->Previous(); }
  void Pause() { service_->Pause(); }
  void PlayPause() { service_->PlayPause(); }
  void Stop() { service_->Stop(); }
  void Play() { service_->Play(); }
  void Seek(qlonglong offset) { service_->Seek(offset); }
  void SetPosition(const QDBusObjectPath& track, qlonglong position) {
    service_->SetPosition(track, position);
  }
  void OpenUri(const QString& uri) { service_->OpenUri(uri); }

 signals:
  void Seeked(qlonglong position);

 private:
  MprisService* service_;
};
