// The DVD menu, audio and subtitle menus, the automatic stream choice and the rate menu.
#include <QLocale>

#include "PanelTestSupport.h"
#include "navdisc/DvdInterfaces.h"

using panel_test::PanelFixture;

namespace {

using namespace navdisc;

// A disc's streams as the engine's information and control interfaces report and change them.
struct FakeDisc : navdisc::IDvdInfo2, navdisc::IDvdControl2 {
  std::vector<uint32_t> audio{1033}, subs{1033, 1036};
  uint32_t currentAudio = 0, currentSub = 0;
  bool subsOff = true;
  bool failLanguage = false, failControl = false;
  std::vector<std::string> calls;

  HRESULT GetCurrentAudio(uint32_t* n, uint32_t* cur) override {
    *n = static_cast<uint32_t>(audio.size());
    *cur = currentAudio;
    return S_OK;
  }
  HRESULT GetCurrentSubpicture(uint32_t* n, uint32_t* cur, int32_t* off) override {
    *n = static_cast<uint32_t>(subs.size());
    *cur = currentSub;
    *off = subsOff;
    return S_OK;
  }
  HRESULT GetAudioLanguage(uint32_t i, uint32_t* lcid) override {
    if (failLanguage || i >= audio.size()) return E_FAIL;
    *lcid = audio[i];
    return S_OK;
  }
  HRESULT GetSubpictureLanguage(uint32_t i, uint32_t* lcid) override {
    if (failLanguage || i >= subs.size()) return E_FAIL;
    *lcid = subs[i];
    return S_OK;
  }
  HRESULT SelectAudioStream(uint32_t s, uint32_t, navdisc::IDvdCmd**) override {
    calls.push_back("audio " + std::to_string(s));
    if (failControl) return E_FAIL;
    currentAudio = s;
    return S_OK;
  }
  HRESULT SelectSubpictureStream(uint32_t s, uint32_t, navdisc::IDvdCmd**) override {
    calls.push_back("sub " + std::to_string(s));
    if (failControl) return E_FAIL;
    currentSub = s;
    return S_OK;
  }
  HRESULT SetSubpictureState(bool on, uint32_t, navdisc::IDvdCmd**) override {
    calls.push_back(on ? "subs on" : "subs off");
    if (failControl) return E_FAIL;
    subsOff = !on;
    return S_OK;
  }
  HRESULT GetNumberOfChapters(uint32_t, uint32_t* n) override {
    *n = 3;
    return S_OK;
  }
  // Not used by the menus.
  HRESULT GetCurrentDomain(DVD_DOMAIN*) override { return E_FAIL; }
  HRESULT GetCurrentLocation(DVD_PLAYBACK_LOCATION2*) override { return E_FAIL; }
  HRESULT GetTotalTitleTime(DVD_HMSF_TIMECODE*, uint32_t*) override { return E_FAIL; }
  HRESULT GetCurrentButton(uint32_t*, uint32_t*) override { return E_FAIL; }
  HRESULT GetCurrentAngle(uint32_t*, uint32_t*) override { return E_FAIL; }
  HRESULT GetDVDVolumeInfo(uint32_t*, uint32_t*, DVD_DISC_SIDE*, uint32_t*) override {
    return E_FAIL;
  }
  HRESULT GetCurrentVideoAttributes(DVD_VideoAttributes*) override { return E_FAIL; }
  HRESULT GetAudioAttributes(uint32_t, DVD_AudioAttributes*) override { return E_FAIL; }
  HRESULT GetSubpictureAttributes(uint32_t, DVD_SubpictureAttributes*) override { return E_FAIL; }
  HRESULT GetButtonAtPosition(POINT, uint32_t*) override { return E_FAIL; }
  HRESULT GetState(std::shared_ptr<navdisc::IDvdState>*) override { return E_FAIL; }
  HRESULT SetOption(DVD_OPTION_FLAG, bool) override { return E_FAIL; }
  HRESULT PlayForwards(double, uint32_t, navdisc::IDvdCmd**) override { return E_FAIL; }
  HRESULT PlayBackwards(double, uint32_t, navdisc::IDvdCmd**) override { return E_FAIL; }
  HRESULT PlayAtTime(const DVD_HMSF_TIMECODE*, uint32_t, navdisc::IDvdCmd**) override {
    return E_FAIL;
  }
  HRESULT PlayTitle(uint32_t, uint32_t, navdisc::IDvdCmd**) override { return E_FAIL; }
  HRESULT PlayChapter(uint32_t, uint32_t, navdisc::IDvdCmd**) override { return E_FAIL; }
  HRESULT PlayChapterInTitle(uint32_t, uint32_t, uint32_t, navdisc::IDvdCmd**) override {
    return E_FAIL;
  }
  HRESULT ShowMenu(DVD_MENU_ID, uint32_t, navdisc::IDvdCmd**) override { return E_FAIL; }
  HRESULT Resume(uint32_t, navdisc::IDvdCmd**) override { return E_FAIL; }
  HRESULT SelectRelativeButton(DVD_RELATIVE_BUTTON) override { return E_FAIL; }
  HRESULT ActivateButton() override { return E_FAIL; }
  HRESULT SelectAtPosition(POINT) override { return E_FAIL; }
  HRESULT ActivateAtPosition(POINT) override { return E_FAIL; }
  HRESULT SelectAngle(uint32_t, uint32_t, navdisc::IDvdCmd**) override { return E_FAIL; }
  HRESULT SetState(navdisc::IDvdState*, uint32_t, navdisc::IDvdCmd**) override { return E_FAIL; }
};

class DvdMenusTest : public PanelFixture {
 protected:
  void SetUp() override {
    PanelFixture::SetUp();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SetDvdInterfacesDouble(&disc_, &disc_);
  }
  void TearDown() override {
    QLocale::setDefault(QLocale::system());
    PanelFixture::TearDown();
  }
  std::vector<bool> Marks(TPopupMenu* menu) {
    std::vector<bool> out;
    for (int i = 0; i < menu->Count(); ++i) out.push_back(menu->Item(i)->isChecked());
    return out;
  }
  FakeDisc disc_;
};

TEST_F(DvdMenusTest, SubtitleMenuChoosesFrenchAndTogglesItOnASecondClick) {
  ASSERT_TRUE(panel_->BuildSubpictureMenu());
  TPopupMenu* menu = panel_->PopupMenu_Subpicture;
  EXPECT_EQ(Captions(menu),
            (std::vector<std::string>{"Disable Subtitle", "-", "English", "French"}));
  EXPECT_TRUE(menu->Item(1)->isSeparator());
  EXPECT_EQ(Marks(menu), (std::vector<bool>{true, false, true, false}));
  EXPECT_EQ(menu->Item(3)->objectName(), "sp1");

  menu->Item(3)->trigger();  // French, as a user's click does it
  EXPECT_EQ(disc_.calls, (std::vector<std::string>{"sub 1", "subs on"}));
  EXPECT_EQ(Marks(menu), (std::vector<bool>{false, false, false, true}));
  EXPECT_TRUE(panel_->b_SubpictureChosen);

  menu->Item(3)->trigger();  // French again: subtitles off
  EXPECT_EQ(disc_.calls.back(), "subs off");
  EXPECT_TRUE(disc_.subsOff);
  EXPECT_EQ(Marks(menu), (std::vector<bool>{true, false, false, true}));
  menu->Item(0)->trigger();  // "Disable Subtitle" while marked: on again
  EXPECT_EQ(disc_.calls.back(), "subs on");
  EXPECT_EQ(Marks(menu), (std::vector<bool>{false, false, false, true}));

  // A refused command leaves the marks as they were.
  disc_.failControl = true;
  menu->Item(2)->trigger();
  EXPECT_EQ(Marks(menu), (std::vector<bool>{false, false, false, true}));
  EXPECT_EQ(panel_->CurrentSubpictureItem, menu->Item(3));
}

TEST_F(DvdMenusTest, LanguageNamesFallBackToUnknownAndAnUnreadableStreamFailsTheMenu) {
  disc_.audio = {0, 1036, 1234};
  ASSERT_TRUE(panel_->BuildAudioMenu());
  EXPECT_EQ(Captions(panel_->PopupMenu_Language),
            (std::vector<std::string>{"Unknown", "French", "Unknown"}));
  EXPECT_EQ(Marks(panel_->PopupMenu_Language), (std::vector<bool>{true, false, false}));
  panel_->PopupMenu_Language->Item(1)->trigger();
  EXPECT_EQ(disc_.currentAudio, 1u);
  EXPECT_EQ(Marks(panel_->PopupMenu_Language), (std::vector<bool>{false, true, false}));
  disc_.calls.clear();
  panel_->PopupMenu_Language->Item(1)->trigger();  // the current one: nothing
  EXPECT_TRUE(disc_.calls.empty());
  EXPECT_TRUE(panel_->PopupMenu_Language->Item(1)->isChecked());

  disc_.failLanguage = true;
  EXPECT_FALSE(panel_->BuildAudioMenu());
  EXPECT_EQ(panel_->PopupMenu_Language->Count(), 3);  // left as it was
  EXPECT_FALSE(panel_->BuildSubpictureMenu());

  // Without a DVD graph the buttons open nothing.
  SetDvdInterfacesDouble(nullptr, nullptr);
  EXPECT_FALSE(panel_->BuildSubpictureMenu());
  panel_->OnSubpictureItemClick(panel_->PopupMenu_Language->Item(0));
}

TEST_F(DvdMenusTest, AutomaticChoicePrefersTheUsersLanguageOncePerStop) {
  disc_.audio = {1036, 1033};
  disc_.subs = {1036, 1033};
  panel_->AutoSelectStreams();
  EXPECT_EQ(disc_.currentAudio, 1u);
  EXPECT_EQ(disc_.currentSub, 1u);
  EXPECT_FALSE(disc_.subsOff);
  EXPECT_TRUE(panel_->b_SubpictureChosen);
  disc_.calls.clear();
  panel_->AutoSelectStreams();
  EXPECT_TRUE(disc_.calls.empty());

  // The user's language already shows: its display is left alone at every chapter.
  panel_->skImageButton_StopClick(nullptr);
  EXPECT_FALSE(panel_->b_SubpictureChosen);
  SetDvdInterfacesDouble(&disc_, &disc_);
  disc_.subsOff = true;
  disc_.calls.clear();
  panel_->AutoSelectStreams();
  panel_->AutoSelectStreams();
  EXPECT_TRUE(disc_.subsOff);
  EXPECT_TRUE(disc_.calls.empty());
}

TEST_F(DvdMenusTest, EntryNumbersAndTitleChapterAngleHandlers) {
  TMenuItem item;
  item.setObjectName("ch 12 ");
  EXPECT_EQ(TFT_LumoraDVD_OperationForm::EntryNumber(&item), 12);
  item.setObjectName("ti");
  EXPECT_EQ(TFT_LumoraDVD_OperationForm::EntryNumber(&item), 0);
  item.setObjectName("pr7x");
  EXPECT_EQ(TFT_LumoraDVD_OperationForm::EntryNumber(&item), 7);

  // Without a disc the jumps fail and say nothing; an angle never says anything.
  main_->ShowStatus("x");
  item.setObjectName("ch2");
  panel_->OnChapterItemClick(&item);
  panel_->OnAngleItemClick(&item);
  panel_->OnTitleItemClick(nullptr);
  EXPECT_EQ(Status(), "x");

  const std::string dvd = panel_test::SampleDvd();
  if (dvd.empty()) GTEST_SKIP() << "sample DVD not built";
  SetDvdInterfacesDouble(nullptr, nullptr);
  CurrentPlayPath = dvd;
  panel_->PlayFromControl(nullptr);
  ASSERT_EQ(PlayType, ptDVD);
  item.setObjectName("ti1");
  panel_->OnTitleItemClick(&item);
  EXPECT_EQ(Status(), "Title 1");
  ASSERT_TRUE(WaitFor([&] { return main_->i_CurrentTitle == 1; }, 8000));
  item.setObjectName("ch3");
  panel_->OnChapterItemClick(&item);
  EXPECT_EQ(Status(), "Chapter 3");
  EXPECT_TRUE(WaitFor([&] { return main_->i_CurrentChapter == 3; }, 5000));
  // The real disc's subtitle menu names its two languages.
  ASSERT_TRUE(panel_->BuildSubpictureMenu());
  EXPECT_EQ(Captions(panel_->PopupMenu_Subpicture),
            (std::vector<std::string>{"Disable Subtitle", "-", "English", "French"}));
}

TEST_F(DvdMenusTest, RateMenuMarksTheRateAndNeedsSomethingSeekable) {
  panel_->skImageButton_PlaybackRateMouseUp(nullptr, mbLeft, {}, 0, 0);
  EXPECT_FALSE(panel_->PopupMenu_Playbackrate->isVisible());
  EXPECT_EQ(panel_->PopupMenu_Playbackrate->Count(), 0);
  // Nor the DVD menu button while no DVD plays.
  panel_->skImageButton_MenuMouseUp(nullptr, mbLeft, {}, 0, 0);
  EXPECT_FALSE(panel_->PopupMenu_Menu->isVisible());

  const std::string clip = panel_test::Clip(20);
  ASSERT_TRUE(PlayFile(clip));
  ASSERT_TRUE(b_CurrentPlaySupportSeek);
  panel_->skImageButton_FastForwardClick(nullptr);  // 2X
  panel_->skImageButton_PlaybackRateMouseUp(nullptr, mbRight, {}, 0, 0);
  TPopupMenu* menu = panel_->PopupMenu_Playbackrate;
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(Captions(menu), (std::vector<std::string>{"0.25", "0.50", "1.00", "2.00", "3.00",
                                                      "4.00", "6.00", "8.00", "16.00"}));
  EXPECT_EQ(Marks(menu),
            (std::vector<bool>{false, false, false, true, false, false, false, false, false}));
  menu->Item(1)->trigger();
  EXPECT_EQ(Status(), "1/2X");
  EXPECT_EQ(i_CurrentPlaybackRateIndex, 1);
  menu->hide();

  panel_->skImageButton_PauseClick(nullptr);
  panel_->OnRateItemClick(menu->Item(5));  // refused while paused
  EXPECT_EQ(Status(), "Play");
  EXPECT_EQ(i_CurrentPlaybackRateIndex, kNormalRateIndex);
}

}  // namespace
