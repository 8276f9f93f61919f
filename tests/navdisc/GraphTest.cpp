// Building the graph: the builder's choice of decoders, rewiring to the engine's own, the
// failures that stop a render, and attaching the picture to a window.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "navdisc/graph/AudioDecoder.h"
#include "navdisc/graph/FilterGraph.h"
#include "navdisc/graph/Line21Decoder.h"
#include "navdisc/graph/VideoDecoder.h"
#include "platform/MessageBox.h"

using namespace navtest;
using namespace navdisc::graph;
using navdisc::CurrentGroup;

namespace {

const ClassId kForeignVideo = "{F00D0001-0000-0000-0000-000000000001}";
const ClassId kForeignSpu = "{F00D0002-0000-0000-0000-000000000002}";
const ClassId kForeignAudio = "{F00D0003-0000-0000-0000-000000000003}";

// Decoders another maker might have installed: pins only.
class ForeignVideo : public Filter {
 public:
  explicit ForeignVideo(bool takesSpu) : Filter(kForeignVideo) {
    AddPin("In", PinDir::Input, {{Major::DvdEncryptedPack, Subtype::MPEG2_VIDEO}});
    if (takesSpu) AddPin("Sp", PinDir::Input, {{Major::DvdEncryptedPack, Subtype::DVD_SUBPICTURE}});
    AddPin("Out", PinDir::Output, {{Major::Video, Subtype::RGB32}});
    AddPin("CC", PinDir::Output, {{Major::AUXLine21Data, Subtype::Line21_BytePair}});
  }
};
class ForeignSpu : public Filter {
 public:
  ForeignSpu() : Filter(kForeignSpu) {
    AddPin("In", PinDir::Input, {{Major::DvdEncryptedPack, Subtype::DVD_SUBPICTURE}});
  }
};
class ForeignAudio : public Filter {
 public:
  ForeignAudio() : Filter(kForeignAudio) {
    AddPin("In", PinDir::Input, {{Major::DvdEncryptedPack, Subtype::DOLBY_AC3}});
    AddPin("Out", PinDir::Output, {{Major::Audio, Subtype::PCM}});
  }
};

void RegisterForeign(const ClassId& clsid, std::vector<MediaType> inputs,
                     FilterRegistry::Factory factory) {
  FilterRegistry::Instance().Register(
      {clsid, clsid, 0x900000, std::move(inputs), true, std::move(factory)});
}

class GraphTest : public EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    disc_ = FixturePath("sample-dvd/VIDEO_TS/");
    if (disc_.empty()) GTEST_SKIP() << "sample DVD fixture missing";
  }
  bool Render(OwnerWindow& w) {
    return InitialDVDGraph(w.handle()) && RenderDVDPath(disc_.c_str());
  }
  static bool Has(const ClassId& clsid) {
    for (auto& f : CurrentGroup()->Graph()->Filters())
      if (f->Clsid() == clsid) return true;
    return false;
  }
  std::string disc_;
};

TEST_F(GraphTest, EngineDecodersAreKeptAndOnlyTheirControlsTaken) {
  OwnerWindow w;
  ASSERT_TRUE(Render(w));
  auto* g = CurrentGroup()->Graph();
  EXPECT_TRUE(g->FindFilterByName("DVD Navigator"));
  EXPECT_FALSE(g->FindFilterByName("Brivo VideoDEC"));
  EXPECT_FALSE(g->FindFilterByName("Brivo AUDIODEC"));
  EXPECT_NE(CurrentGroup()->VideoDecoderControl(), nullptr);
  EXPECT_NE(CurrentGroup()->AudioDecoderControl(), nullptr);
  EXPECT_EQ(CurrentGroup()->State(), navdisc::gsStopped);
  // Closed captions start on in the decoder; the engine turns them off.
  navdisc::AM_LINE21_CCSTATE cc = navdisc::AM_L21_CCSTATE_On;
  ASSERT_EQ(CurrentGroup()->Line21Decoder()->GetServiceState(&cc), navdisc::S_OK);
  EXPECT_EQ(cc, navdisc::AM_L21_CCSTATE_Off);
  int32_t mode = 0;
  CurrentGroup()->AudioDecoderControl()->GetDownmix(&mode);
  EXPECT_EQ(mode, 1);
}

TEST_F(GraphTest, ForeignVideoAndSubpictureDecodersAreReplaced) {
  RegisterForeign(kForeignVideo, {{Major::DvdEncryptedPack, Subtype::MPEG2_VIDEO}},
                  [] { return std::make_shared<ForeignVideo>(false); });
  RegisterForeign(kForeignSpu, {{Major::DvdEncryptedPack, Subtype::DVD_SUBPICTURE}},
                  [] { return std::make_shared<ForeignSpu>(); });
  OwnerWindow w;
  ASSERT_TRUE(Render(w));
  EXPECT_FALSE(Has(kForeignVideo));
  EXPECT_FALSE(Has(kForeignSpu));
  auto mine = CurrentGroup()->Graph()->FindFilterByName("Brivo VideoDEC");
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine->Clsid(), kVideoDecoderClsid);
  for (Pin* p : mine->Pins()) EXPECT_NE(p->ConnectedTo(), nullptr) << p->Name();
  auto nav = CurrentGroup()->Graph()->FindFilterByName("DVD Navigator");
  EXPECT_EQ(nav->Pins(PinDir::Output)[0]->ConnectedTo()->Owner(), mine.get());
  EXPECT_EQ(nav->Pins(PinDir::Output)[1]->ConnectedTo()->Owner(), mine.get());
  // The rewired graph plays.
  ASSERT_TRUE(PutDVDOwner(w.handle(), nullptr, true));
  ASSERT_TRUE(PlayDVD());
  EXPECT_TRUE(WaitEvent(navdisc::EC_DVD_DOMAIN_CHANGE));
}

TEST_F(GraphTest, ForeignAudioDecoderIsReplaced) {
  RegisterForeign(kForeignAudio, {{Major::DvdEncryptedPack, Subtype::DOLBY_AC3}},
                  [] { return std::make_shared<ForeignAudio>(); });
  OwnerWindow w;
  ASSERT_TRUE(Render(w));
  EXPECT_FALSE(Has(kForeignAudio));
  auto mine = CurrentGroup()->Graph()->FindFilterByName("Brivo AUDIODEC");
  ASSERT_TRUE(mine);
  EXPECT_EQ(mine->Clsid(), kAudioDecoderClsid);
  EXPECT_TRUE(plat::RecordedMessageBoxes().empty());
}

TEST_F(GraphTest, MissingAudioDecoderShowsTheBoxAndFails) {
  RegisterForeign(kForeignAudio, {{Major::DvdEncryptedPack, Subtype::DOLBY_AC3}},
                  [] { return std::make_shared<ForeignAudio>(); });
  FilterRegistry::Instance().Unregister(kAudioDecoderClsid);
  OwnerWindow w;
  EXPECT_FALSE(Render(w));
  auto boxes = plat::RecordedMessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "Create AudioDecFilter error");
  EXPECT_EQ(
      boxes[0].caption,
      "hr = CoCreateInstance(  Guid_IAudioDecFilter,NULL,CLSCTX_INPROC_SERVER,IID_IBaseFilter,"
      "reinterpret_cast<void**>(&AudioDecFilter))");
  EXPECT_EQ(boxes[0].flags, plat::MB_OKCANCEL);
  // The failed group stays until destroyed; a second init does not rebuild it.
  EXPECT_TRUE(InitialDVDGraph(w.handle()));
  EXPECT_FALSE(PlayDVD());
}

TEST_F(GraphTest, NoLineTwentyOneDecoderFailsTheRender) {
  FilterRegistry::Instance().Unregister(kLine21DecoderClsid);
  {
    OwnerWindow w;
    EXPECT_FALSE(Render(w));
    EXPECT_FALSE(PlayDVD());
    DestroyDVDGraph();
  }
  // Also when the video decoder is rewired.
  RegisterForeign(kForeignVideo, {{Major::DvdEncryptedPack, Subtype::MPEG2_VIDEO}},
                  [] { return std::make_shared<ForeignVideo>(true); });
  OwnerWindow w;
  EXPECT_FALSE(Render(w));
}

TEST_F(GraphTest, OwnerWindowCases) {
  OwnerWindow w, other;
  ASSERT_TRUE(Render(w));
  LumoraRect zero{0, 0, 0, 0};
  EXPECT_FALSE(PutDVDOwner(w.handle(), &zero, true));
  ASSERT_TRUE(PutDVDOwner(w.handle(), nullptr, true));
  EXPECT_EQ(CurrentGroup()->OwnerWindow(), w.handle());
  LumoraRect r{10, 20, 320, 180};
  EXPECT_TRUE(PutDVDOwner(w.handle(), &r, false));  // same window: only moves
  EXPECT_EQ(CurrentGroup()->OwnerWindow(), w.handle());
  EXPECT_TRUE(PutDVDOwner(other.handle(), &r, true));
  EXPECT_EQ(CurrentGroup()->OwnerWindow(), other.handle());
  EXPECT_TRUE(PutDVDOwner(0, nullptr, true));  // detached
  EXPECT_EQ(CurrentGroup()->OwnerWindow(), 0u);
  EXPECT_FALSE(PutDVDOwner(987654, nullptr, true));  // not a window
}

}  // namespace
