#include "player/core/Ft_lumoradvdstate.h"

int32_t PlayType = ptNone;
int32_t PlayState = psIdle;
int32_t LastPlayState = psIdle;

const std::string s_PlaybackRate[kPlaybackRateCount] = {"1/4X", "1/2X", "Play", "2X", "3X",
                                                        "4X",   "6X",   "8X",   "16X"};
const double d_PlaybackRate[kPlaybackRateCount] = {0.25, 0.5, 1.0, 2.0, 3.0, 4.0, 6.0, 8.0, 16.0};
int32_t i_CurrentPlaybackRateIndex = 0;

int32_t l_CurrentVolume = 0;
int32_t l_CurrentBalance = 0;

int32_t l_Bringhtness = 0;
int32_t l_Contrast = 0;
int32_t l_Hue = 0;
int32_t l_Saturation = 0;

int32_t MyAspectRatioState = 0;
double d_AspectRatio = 1.0;
double AspectW = 640.0;
double AspectH = 480.0;

bool b_CurrentPlaySupportSeek = false;
bool b_NoVideo = false;

HWND h_CurrentPreviewWindow = 0;

std::string CurrentSkinPath;
std::string CurrentPlayPath;
std::string CurrentSnapshotPath;

TFT_LumoraDVD_MainForm* FT_LumoraDVD_MainForm = nullptr;
TFT_LumoraDVD_OperationForm* FT_LumoraDVD_OperationForm = nullptr;
TFT_LumoraDVD_ShadowForm* FT_LumoraDVD_ShadowForm = nullptr;
TFT_LumoraDVD_SubForm* FT_LumoraDVD_SubForm = nullptr;
TFT_LumoraDVD_FullScreenForm* FT_LumoraDVD_FullScreenForm = nullptr;
TFT_LumoraDVD_ControlFrame* FT_LumoraDVD_ControlFrame = nullptr;
TFT_LumoraDVD_SetupForm* FT_LumoraDVD_SetupForm = nullptr;
