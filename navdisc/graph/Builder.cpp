#include "navdisc/graph/Builder.h"

#include "navdisc/graph/AudioDecoder.h"
#include "navdisc/graph/AudioRenderer.h"
#include "navdisc/graph/Line21Decoder.h"
#include "navdisc/graph/NavigatorSource.h"
#include "navdisc/graph/VideoDecoder.h"
#include "navdisc/graph/VideoRenderer.h"

namespace navdisc::graph {

void RegisterEngineFilters(FilterRegistry& r) {
  r.Register({kVideoDecoderClsid,
              "Video Decoder",
              0x600000,
              {{Major::DvdEncryptedPack, Subtype::MPEG2_VIDEO},
               {Major::DvdEncryptedPack, Subtype::DVD_SUBPICTURE}},
              true,
              [] { return std::make_shared<VideoDecoder>(); }});
  r.Register({kAudioDecoderClsid,
              "Audio Decoder",
              0x600000,
              {{Major::DvdEncryptedPack, Subtype::DOLBY_AC3},
               {Major::DvdEncryptedPack, Subtype::MPEG1_AUDIO},
               {Major::DvdEncryptedPack, Subtype::DVD_LPCM_AUDIO},
               {Major::DvdEncryptedPack, Subtype::DTS}},
              true,
              [] { return std::make_shared<AudioDecoder>(); }});
  r.Register({kLine21DecoderClsid,
              "Line 21 Decoder",
              0x600000,
              {{Major::AUXLine21Data, Subtype::Line21_BytePair}},
              true,
              [] { return std::make_shared<Line21Decoder>(); }});
  r.Register({kVideoRendererClsid,
              "Video Renderer",
              0x800000,
              {{Major::Video, Subtype::RGB32}},
              false,
              [] { return std::make_shared<VideoRenderer>(); }});
  r.Register({kAudioRendererClsid,
              "Default DirectSound Device",
              0x800000,
              {{Major::Audio, Subtype::PCM}},
              false,
              [] { return std::make_shared<AudioRenderer>(); }});
}

DvdGraphBuilder::DvdGraphBuilder() : graph_(std::make_unique<FilterGraph>()) {}
DvdGraphBuilder::~DvdGraphBuilder() = default;

namespace {

Pin* FirstFreeInput(Filter* f, const MediaType& t) {
  for (Pin* p : f->Pins(PinDir::Input))
    if (!p->ConnectedTo() && p->Accepts(t)) return p;
  return nullptr;
}

// Connects `out` to a new filter of the best decoder class for its type; the decoder.
std::shared_ptr<Filter> RenderPin(FilterGraph& g, Pin* out) {
  auto& reg = FilterRegistry::Instance();
  for (const MediaType& t : out->Types()) {
    ClassId clsid = reg.FindDecoder(t);
    if (clsid.empty()) continue;
    auto f = reg.Create(clsid);
    if (!f) continue;
    if (FAILED(g.AddFilter(f, f->Clsid() == kLine21DecoderClsid ? "Line 21 Decoder" : clsid)))
      continue;
    Pin* in = FirstFreeInput(f.get(), t);
    if (in && SUCCEEDED(g.ConnectDirect(out, in))) return f;
    g.RemoveFilter(f.get());
  }
  return nullptr;
}

}  // namespace

HRESULT DvdGraphBuilder::RenderDvdVideoVolume(const std::string& path, uint32_t, RenderStatus* st) {
  RenderStatus local;
  RenderStatus& status = st ? *st : local;
  FilterGraph& g = *graph_;
  if (g.FindFilterByName("DVD Navigator")) return E_UNEXPECTED;
  auto src = std::make_shared<NavigatorSource>(CreateNavigator());
  if (!src->Open(path, status.error)) return E_FAIL;
  g.AddFilter(src, "DVD Navigator");
  auto outs = src->Pins(PinDir::Output);
  auto& reg = FilterRegistry::Instance();

  // Video and sub-picture: the sub-picture goes to the video decoder when it takes it.
  auto vdec = RenderPin(g, outs[0]);
  status.videoRendered = vdec != nullptr;
  std::shared_ptr<Filter> sdec;
  if (vdec)
    if (Pin* in = FirstFreeInput(vdec.get(), outs[1]->Types()[0]);
        in && SUCCEEDED(g.ConnectDirect(outs[1], in)))
      sdec = vdec;
  if (!sdec) sdec = RenderPin(g, outs[1]);
  status.subpictureRendered = sdec != nullptr;

  std::shared_ptr<Filter> renderer = reg.Create(kVideoRendererClsid);
  if (renderer && SUCCEEDED(g.AddFilter(renderer, "Video Renderer")) && vdec) {
    for (Pin* o : vdec->Pins(PinDir::Output))
      for (const MediaType& t : o->Types())
        if (t.major == Major::Video && !o->ConnectedTo())
          if (Pin* in = FirstFreeInput(renderer.get(), t)) g.ConnectDirect(o, in);
  }
  // Closed captions: the video decoder's (or the sub-picture decoder's) line-21 output.
  for (auto& dec : {vdec, sdec}) {
    if (!dec || status.line21Rendered) continue;
    for (Pin* o : dec->Pins(PinDir::Output))
      if (!o->ConnectedTo() && !o->Types().empty() && o->Types()[0].major == Major::AUXLine21Data)
        status.line21Rendered = RenderPin(g, o) != nullptr;
  }

  auto adec = RenderPin(g, outs[2]);
  std::shared_ptr<Filter> arend = reg.Create(kAudioRendererClsid);
  if (arend && SUCCEEDED(g.AddFilter(arend, "Default DirectSound Device")) && adec) {
    for (Pin* o : adec->Pins(PinDir::Output))
      for (const MediaType& t : o->Types())
        if (t.major == Major::Audio && !o->ConnectedTo())
          if (Pin* in = FirstFreeInput(arend.get(), t))
            status.audioRendered = SUCCEEDED(g.ConnectDirect(o, in));
  }
  bool all = status.videoRendered && status.subpictureRendered && status.audioRendered &&
             status.line21Rendered;
  return all ? S_OK : S_FALSE;
}

HRESULT DvdGraphBuilder::GetDvdInterface(const std::string& iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == "IDvdInfo2" || iid == "IDvdControl2") {
    auto nav = graph_->FindFilterByName("DVD Navigator");
    *out = nav ? nav->QueryInterface(iid) : nullptr;
  } else {
    *out = graph_->QueryFilters(iid);
  }
  return *out ? S_OK : E_NOINTERFACE;
}

}  // namespace navdisc::graph
