// The DVD graph builder: puts a navigator source for the disc into a new graph and renders
// its three streams with the best decoders of the registry, a video renderer, a line-21
// decoder and an audio renderer.
#pragma once

#include <memory>
#include <string>

#include "navdisc/graph/Filter.h"
#include "navdisc/graph/FilterGraph.h"

namespace navdisc::graph {

// Registers the engine's own filters (decoders, line-21 decoder, renderers).
void RegisterEngineFilters(FilterRegistry& registry);

struct RenderStatus {
  bool videoRendered = false;
  bool subpictureRendered = false;
  bool audioRendered = false;
  bool line21Rendered = false;
  std::string error;  // why the volume could not be opened
};

class DvdGraphBuilder {
 public:
  DvdGraphBuilder();
  ~DvdGraphBuilder();
  FilterGraph* GetFiltergraph() { return graph_.get(); }
  // S_OK: everything rendered; S_FALSE: the volume plays but some stream was not rendered.
  HRESULT RenderDvdVideoVolume(const std::string& path, uint32_t flags, RenderStatus* status);
  // "IDvdInfo2", "IDvdControl2", "IVideoWindow", "IAMLine21Decoder".
  HRESULT GetDvdInterface(const std::string& iid, void** out);

 private:
  std::unique_ptr<FilterGraph> graph_;
};

inline constexpr uint32_t AM_DVD_HWDEC_PREFER = 0x01;

}  // namespace navdisc::graph
