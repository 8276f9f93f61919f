// The engine's parts on their own: pins and connections, the decoder registry, the event
// queue, the line-21 decoder, the saved state, the demultiplexer's stream choice, and the view
// of a disc without its first-play program.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QWidget>
#include <atomic>
#include <cmath>

#include "NavigatorDouble.h"
#include "TestSupport.h"
#include "navdisc/EngineState.h"
#include "navdisc/graph/AudioDecoder.h"
#include "navdisc/graph/AudioRenderer.h"
#include "navdisc/graph/FilterGraph.h"
#include "navdisc/graph/FirstPlayBypass.h"
#include "navdisc/graph/Line21Decoder.h"
#include "navdisc/graph/NavigatorSource.h"
#include "navdisc/graph/VideoDecoder.h"
#include "platform/Window.h"

using namespace navdisc;
using namespace navdisc::graph;
using namespace navtest;

namespace {

class Probe : public Filter {
 public:
  Probe(ClassId id, std::vector<MediaType> in, std::vector<MediaType> out) : Filter(std::move(id)) {
    if (!in.empty()) AddPin("In", PinDir::Input, std::move(in));
    if (!out.empty()) AddPin("Out", PinDir::Output, std::move(out));
  }
  void Receive(Pin*, Sample&& s) override {
    if (s.kind == Sample::Kind::Data) {
      std::lock_guard lock(mu);
      ids.push_back(s.streamId);
    }
  }
  std::vector<int> Ids() {
    std::lock_guard lock(mu);
    return ids;
  }
  std::mutex mu;
  std::vector<int> ids;
};

const MediaType kAc3{Major::DvdEncryptedPack, Subtype::DOLBY_AC3};
const MediaType kPcm{Major::Audio, Subtype::PCM};
const MediaType kRgb{Major::Video, Subtype::RGB32};

TEST(FilterGraphTest, ConnectionsFollowTheTypes) {
  FilterGraph g;
  auto src = std::make_shared<Probe>("{A}", std::vector<MediaType>{}, std::vector<MediaType>{kAc3});
  auto pcmSink =
      std::make_shared<Probe>("{B}", std::vector<MediaType>{kPcm}, std::vector<MediaType>{});
  auto rgbSink =
      std::make_shared<Probe>("{C}", std::vector<MediaType>{kRgb}, std::vector<MediaType>{});
  ASSERT_EQ(g.AddFilter(src, "src"), S_OK);
  ASSERT_EQ(g.AddFilter(pcmSink, "sink"), S_OK);
  ASSERT_EQ(g.AddFilter(rgbSink, "sink"), S_OK);
  EXPECT_EQ(rgbSink->Name(), "sink 2");  // names stay unique
  EXPECT_NE(g.AddFilter(src, "again"), S_OK);
  Pin* out = src->Pins(PinDir::Output)[0];
  // Wrong direction and wrong type are refused.
  EXPECT_LT(g.ConnectDirect(pcmSink->Pins()[0], out), 0);
  EXPECT_LT(g.ConnectDirect(out, rgbSink->Pins()[0]), 0);
  EXPECT_LT(g.ConnectDirect(out, pcmSink->Pins()[0]), 0);  // AC-3 is not PCM
  // Through an intermediate decoder from the registry (the engine's audio decoder).
  ASSERT_EQ(g.Connect(out, pcmSink->Pins()[0]), S_OK);
  std::shared_ptr<Filter> keep = g.FindFilterByName(out->ConnectedTo()->Owner()->Name());
  ASSERT_TRUE(keep);
  Filter* mid = keep.get();
  EXPECT_EQ(mid->Clsid(), kAudioDecoderClsid);
  EXPECT_EQ(pcmSink->Pins()[0]->ConnectedTo()->Owner(), mid);
  EXPECT_EQ(out->ConnectionType(), kAc3);
  // Removing a filter breaks its connections on both ends.
  ASSERT_EQ(g.RemoveFilter(mid), S_OK);
  EXPECT_EQ(out->ConnectedTo(), nullptr);
  EXPECT_EQ(pcmSink->Pins()[0]->ConnectedTo(), nullptr);
  EXPECT_EQ(g.FindFilterByName(mid->Name()), nullptr);
  EXPECT_NE(g.RemoveFilter(mid), S_OK);
}

TEST(FilterRegistryTest, BestMeritWinsAndDefaultsComeBack) {
  auto& reg = FilterRegistry::Instance();
  MediaType mpeg{Major::DvdEncryptedPack, Subtype::MPEG2_VIDEO};
  EXPECT_EQ(reg.FindDecoder(mpeg), kVideoDecoderClsid);
  reg.Register({"{LOW}", "low", 0x100, {mpeg}, true, [] { return nullptr; }});
  EXPECT_EQ(reg.FindDecoder(mpeg), kVideoDecoderClsid);
  reg.Register({"{HIGH}", "high", 0x900000, {mpeg}, true, [] { return nullptr; }});
  EXPECT_EQ(reg.FindDecoder(mpeg), "{HIGH}");
  EXPECT_EQ(reg.Create("{HIGH}"), nullptr);  // a factory that fails creates nothing
  EXPECT_EQ(reg.Create("{NOPE}"), nullptr);
  EXPECT_TRUE(reg.Unregister(kVideoDecoderClsid));
  EXPECT_FALSE(reg.IsRegistered(kVideoDecoderClsid));
  reg.ResetToDefaults();
  EXPECT_FALSE(reg.IsRegistered("{HIGH}"));
  EXPECT_EQ(reg.FindDecoder(mpeg), kVideoDecoderClsid);
  EXPECT_NE(reg.Create(kVideoDecoderClsid), nullptr);
}

TEST(EventQueueTest, InOrderAndPostsToTheWindow) {
  QWidget w;
  int posted = 0;
  HWND h = plat::RegisterWindow(&w, [&](unsigned msg, WPARAM, LPARAM, LRESULT&) {
    posted += msg == WM_DVD_GRAPH_EVENT;
    return true;
  });
  EventQueue q;
  int32_t code;
  intptr_t p1, p2;
  EXPECT_LT(q.GetEvent(&code, &p1, &p2, 0), 0);
  EXPECT_LT(q.GetEvent(nullptr, &p1, &p2, 0), 0);
  q.SetNotifyWindow(h, WM_DVD_GRAPH_EVENT, 0);
  q.Notify(EC_DVD_DOMAIN_CHANGE, 4, 0);
  std::thread([&] { q.Notify(EC_DVD_TITLE_CHANGE, 2, 0); }).join();
  EXPECT_EQ(q.Pending(), 2u);
  ASSERT_EQ(q.GetEvent(&code, &p1, &p2, 0), S_OK);
  EXPECT_EQ(code, EC_DVD_DOMAIN_CHANGE);
  ASSERT_EQ(q.GetEvent(&code, &p1, &p2, 0), S_OK);
  EXPECT_EQ(code, EC_DVD_TITLE_CHANGE);
  EXPECT_EQ(p1, 2);
  PumpUntil([&] { return posted == 2; }, 2000);
  EXPECT_EQ(posted, 2);
}

TEST(Line21DecoderTest, PopOnCaptionsShowAtEndOfCaption) {
  Line21Decoder d;
  AM_LINE21_CCSTATE st;
  ASSERT_EQ(d.GetServiceState(&st), S_OK);
  EXPECT_EQ(st, AM_L21_CCSTATE_On);
  // Resume caption loading (twice, as sent), "HI", end of caption (twice).
  const uint8_t data[] = {0x04, 0x14, 0x20, 0x04, 0x14, 0x20,
                          0x04, 'H',  'I',  0x05, 'x',  'x',  // second field: ignored
                          0x04, 0x14, 0x2f, 0x04, 0x14, 0x2f};
  d.Feed(data, sizeof data);
  EXPECT_EQ(d.Caption(), "HI");
  const uint8_t erase[] = {0x04, 0x14, 0x2c};
  d.Feed(erase, sizeof erase);
  EXPECT_EQ(d.Caption(), "");
  d.Feed(data, 3 * 2 + 2);  // a truncated triplet is ignored
  ASSERT_EQ(d.SetServiceState(AM_L21_CCSTATE_Off), S_OK);
  d.Feed(data, sizeof data);
  EXPECT_EQ(d.Caption(), "");
  EXPECT_LT(d.SetServiceState(static_cast<AM_LINE21_CCSTATE>(7)), 0);
}

TEST(EngineStateTest, RoundTripAndRejection) {
  NavdiscStateRecord r;
  r.title = 3;
  r.chapter = 2;
  r.seconds = 3725;
  r.audio = 1;
  r.subpicture = -1;
  r.subpictureOn = 1;
  r.angle = 2;
  auto bytes = SerializeState(r);
  ASSERT_EQ(bytes.size(), kStateStreamSize);
  NavdiscStateRecord back;
  ASSERT_TRUE(DeserializeState(bytes.data(), bytes.size(), back));
  EXPECT_EQ(back.title, 3u);
  EXPECT_EQ(back.seconds, 3725u);
  EXPECT_EQ(back.audio, 1);
  EXPECT_EQ(back.subpicture, -1);
  EXPECT_EQ(back.angle, 2u);
  NavdiscStateRecord untouched;
  EXPECT_FALSE(DeserializeState(bytes.data(), bytes.size() - 1, untouched));
  EXPECT_FALSE(DeserializeState(nullptr, 0, untouched));
  auto bad = bytes;
  bad[0] ^= 1;
  EXPECT_FALSE(DeserializeState(bad.data(), bad.size(), untouched));
  bad = bytes;
  bad[16] = 9;  // another format version
  EXPECT_FALSE(DeserializeState(bad.data(), bad.size(), untouched));
  EXPECT_EQ(untouched.title, 0u);
}

TEST(NavigatorSourceTest, OnlyTheChosenAudioStreamIsPassedOn) {
  auto script = std::make_shared<NavScript>();
  script->emitAudioPacks = true;
  FilterGraph g;
  auto src = std::make_shared<NavigatorSource>(std::make_unique<NavigatorDouble>(script));
  auto sink =
      std::make_shared<Probe>("{S}", std::vector<MediaType>{kAc3}, std::vector<MediaType>{});
  std::string why;
  ASSERT_TRUE(src->Open("double", why));
  g.AddFilter(src, "DVD Navigator");
  g.AddFilter(sink, "sink");
  ASSERT_EQ(g.ConnectDirect(src->Pins(PinDir::Output)[2], sink->Pins()[0]), S_OK);
  ASSERT_EQ(g.Run(), S_OK);
  ASSERT_TRUE(PumpUntil([&] { return sink->Ids().size() >= 3; }, 4000));
  uint32_t available = 0, current = 9;
  ASSERT_EQ(src->GetCurrentAudio(&available, &current), S_OK);
  EXPECT_EQ(available, 2u);
  EXPECT_EQ(current, 0u);
  for (int id : sink->Ids()) EXPECT_EQ(id, 0x80);
  ASSERT_EQ(src->SelectAudioStream(1, 0, nullptr), S_OK);
  size_t from = sink->Ids().size();
  ASSERT_TRUE(PumpUntil([&] { return sink->Ids().size() >= from + 6; }, 4000));
  auto ids = sink->Ids();
  // A pack already on its way may still arrive; after it only stream 1 is heard.
  for (size_t i = from + 2; i < ids.size(); ++i) EXPECT_EQ(ids[i], 0x81);
  EXPECT_LT(src->SelectAudioStream(2, 0, nullptr), 0);
  g.Stop();
}

}  // namespace

namespace {

// Feeds one second of a 1 kHz tone in tenths and waits until the renderer has played it.
uint64_t PlayTone(navdisc::graph::FilterGraph& g, navdisc::graph::AudioRenderer& a) {
  for (int k = 0; k < 10; ++k) {
    auto c = std::make_shared<navdisc::graph::AudioChunk>();
    for (int i = 0; i < 4800; ++i) {
      auto v = static_cast<int16_t>(8000 * std::sin(2 * M_PI * 1000 * (k * 4800 + i) / 48000.0));
      c->pcm.push_back(v);
      c->pcm.push_back(v);
    }
    c->time = k * 100000;
    navdisc::graph::Sample s;
    s.controlType = navdisc::graph::kCtlAudioChunk;
    s.control = c;
    a.Receive(a.Pins()[0], std::move(s));
  }
  navtest::PumpUntil([&] { return a.Drained(); }, 5000);
  return a.PlayedSamples();
}

TEST(AudioRendererTest, SlowPlayIsStretchedFastPlayIsSilent) {
  using namespace navdisc::graph;
  {
    FilterGraph g;
    auto a = std::make_shared<AudioRenderer>();
    g.AddFilter(a, "audio");
    g.Clock().SetRate(2.0);
    g.Run();
    uint64_t played = PlayTone(g, *a);
    // Twice the speed: half as many samples, still heard.
    EXPECT_GT(played, 18000u);
    EXPECT_LT(played, 26000u);
    EXPECT_GT(a->PeakLevel(), 4000);
    g.Stop();
  }
  {
    FilterGraph g;
    auto a = std::make_shared<AudioRenderer>();
    g.AddFilter(a, "audio");
    g.Clock().SetRate(4.0);
    g.Run();
    PlayTone(g, *a);
    EXPECT_EQ(a->PeakLevel(), 0);
    g.Stop();
  }
}

}  // namespace

namespace {
QByteArray ReadAll(const QString& path) {
  QFile f(path);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
}  // namespace

TEST(FirstPlayBypassTest, ShadowFolderHidesOnlyTheFirstPlayPointer) {
  std::string disc = FixturePath("deadfp-dvd");
  if (disc.empty()) GTEST_SKIP() << "fixture missing";
  QString videoTs = QString::fromStdString(disc) + "/VIDEO_TS";
  QByteArray ifoBefore = ReadAll(videoTs + "/VIDEO_TS.IFO");
  ASSERT_GT(ifoBefore.size(), 0x88);
  ASSERT_NE(ifoBefore.mid(kFirstPlayPointerOffset, 4), QByteArray(4, '\0'));

  QTemporaryDir tmp, notADisc;
  QByteArray oldTmp = qgetenv("TMPDIR");
  qputenv("TMPDIR", tmp.path().toUtf8());
  std::string shadow;
  // The disc may be named by its root or by its VIDEO_TS folder.
  for (const std::string& path : {disc, videoTs.toStdString()}) {
    SCOPED_TRACE(path);
    std::string why;
    auto view = FirstPlayBypass::Create(path, why);
    ASSERT_TRUE(view) << why;
    shadow = view->Folder();
    EXPECT_TRUE(QString::fromStdString(shadow).startsWith(tmp.path()));
    QDir shadowTs(QString::fromStdString(shadow) + "/VIDEO_TS");
    QDir originalTs(videoTs);
    EXPECT_EQ(shadowTs.entryList(QDir::Files, QDir::Name),
              originalTs.entryList(QDir::Files, QDir::Name));
    for (const QString& name : {QString("VIDEO_TS.IFO"), QString("VIDEO_TS.BUP")}) {
      QByteArray original = ReadAll(originalTs.filePath(name));
      QByteArray patched = ReadAll(shadowTs.filePath(name));
      ASSERT_EQ(patched.size(), original.size()) << name.toStdString();
      EXPECT_EQ(patched.mid(kFirstPlayPointerOffset, 4), QByteArray(4, '\0'));
      original.replace(kFirstPlayPointerOffset, 4, QByteArray(4, '\0'));
      EXPECT_EQ(patched, original) << "only the pointer differs in " << name.toStdString();
      EXPECT_FALSE(QFileInfo(shadowTs.filePath(name)).isSymLink());
    }
    QFileInfo vob(shadowTs.filePath("VTS_01_1.VOB"));
    EXPECT_TRUE(vob.isSymLink());
    EXPECT_EQ(vob.canonicalFilePath(),
              QFileInfo(originalTs.filePath("VTS_01_1.VOB")).canonicalFilePath());
  }
  // Gone with its object; the disc itself untouched.
  EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(shadow)));
  EXPECT_EQ(ReadAll(videoTs + "/VIDEO_TS.IFO"), ifoBefore);
  EXPECT_TRUE(QDir(videoTs).exists("VTS_01_1.VOB"));

  // What has no such view is refused, and a refused attempt leaves nothing behind.
  std::string why;
  EXPECT_FALSE(FirstPlayBypass::Create(FixturePath("sample.iso"), why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(FirstPlayBypass::Create(tmp.path().toStdString() + "/missing", why));
  QDir(notADisc.path()).mkdir("VIDEO_TS");
  QFile junk(notADisc.path() + "/VIDEO_TS/VIDEO_TS.IFO");
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(4096, 'x'));
  junk.close();
  EXPECT_FALSE(FirstPlayBypass::Create(notADisc.path().toStdString(), why));
  EXPECT_TRUE(QDir(tmp.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

  if (oldTmp.isNull())
    qunsetenv("TMPDIR");
  else
    qputenv("TMPDIR", oldTmp);
}

TEST(FirstPlayBypassTest, MountedImagesAndDrivesAreFoundThroughTheMountTable) {
  QTemporaryDir tmp;
  ASSERT_TRUE(tmp.isValid());
  QDir root(tmp.path());
  auto write = [&](const QString& name, const QByteArray& text) {
    QFile f(root.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
  };
  write("disc.iso", "image");
  write("drive", "a device node stands here");
  write("other.iso", "image");
  ASSERT_TRUE(root.mkpath("sys/loop7/loop"));
  // The kernel writes the backing file with a line break.
  write("sys/loop7/loop/backing_file", root.filePath("disc.iso").toUtf8() + "\n");
  const QByteArray base = tmp.path().toUtf8();
  write("mounts",
        "proc /proc proc rw 0 0\n"
        "server:/share /net nfs rw 0 0\n"
        "/dev/loop7 " +
            base + "/mnt\\040image iso9660 ro 0 0\n" + base + "/drive " + base +
            "/media/DISC udf ro 0 0\n");
  const std::string mounts = root.filePath("mounts").toStdString();
  const std::string sys = root.filePath("sys").toStdString();

  EXPECT_EQ(MountedFolder(root.filePath("disc.iso").toStdString(), mounts, sys),
            tmp.path().toStdString() + "/mnt image");
  EXPECT_EQ(MountedFolder(root.filePath("drive").toStdString(), mounts, sys),
            tmp.path().toStdString() + "/media/DISC");
  EXPECT_EQ(MountedFolder(root.filePath("other.iso").toStdString(), mounts, sys), "");
  EXPECT_EQ(MountedFolder(root.filePath("missing.iso").toStdString(), mounts, sys), "");
  EXPECT_EQ(MountedFolder(root.filePath("disc.iso").toStdString(),
                          root.filePath("none").toStdString(), sys),
            "");
}
