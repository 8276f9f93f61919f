// The engine's small filter graph: filters with names, class identifiers and typed pins,
// connections between pins, and samples that flow along them.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "navdisc/DvdTypes.h"

namespace navdisc::graph {

using ClassId = std::string;  // "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"

enum class Major { Unknown, Video, Audio, DvdEncryptedPack, AUXLine21Data };
enum class Subtype {
  Unknown,
  MPEG2_VIDEO,
  DVD_SUBPICTURE,
  DOLBY_AC3,
  MPEG1_AUDIO,
  DVD_LPCM_AUDIO,
  DTS,
  RGB32,
  PCM,
  Line21_BytePair,
};

struct MediaType {
  Major major = Major::Unknown;
  Subtype subtype = Subtype::Unknown;
  bool operator==(const MediaType&) const = default;
};

enum class PinDir { Input, Output };

struct NavPacketInfo;  // navigator-specific control data (NavigatorSource.h)

// What travels along a connection. Data samples carry a payload with a stream time in
// microseconds (continuous across cells); the others are in-band control.
struct Sample {
  enum class Kind { Data, Flush, EndOfStream, Control };
  Kind kind = Kind::Data;
  int streamId = 0;                     // MPEG stream id, or private-stream-1 sub-stream id
  std::vector<uint8_t> data;            // PES payload, maybe followed by zero padding
  size_t payload = 0;                   // bytes of `data` that are payload; 0 = all of it
  int64_t time = -1;                    // stream time (us), -1 = none
  int64_t titleTime = -1;               // title time (us) matching `time`, -1 = not in a title
  std::shared_ptr<const void> control;  // Kind::Control payload
  int controlType = 0;
};

// FFmpeg reads up to `pad` bytes past a packet: makes sure zeros are there. The payload length.
inline size_t EnsurePadding(Sample& s, size_t pad) {
  size_t n = s.payload ? s.payload : s.data.size();
  if (s.data.size() < n + pad) s.data.resize(n + pad, 0);
  s.payload = n;
  return n;
}

inline Sample MakeSignal(Sample::Kind kind) {
  Sample s;
  s.kind = kind;
  return s;
}

class Filter;
class FilterGraph;

class Pin {
 public:
  Pin(Filter* owner, std::string name, PinDir dir, std::vector<MediaType> types)
      : owner_(owner), name_(std::move(name)), dir_(dir), types_(std::move(types)) {}
  Filter* Owner() const { return owner_; }
  const std::string& Name() const { return name_; }
  PinDir Direction() const { return dir_; }
  const std::vector<MediaType>& Types() const { return types_; }
  // A type matches when majors agree and the subtype agrees or is Unknown on one side.
  bool Accepts(const MediaType& t) const;
  Pin* ConnectedTo() const { return peer_; }
  const MediaType& ConnectionType() const { return connType_; }
  // Output pins pass a sample to the connected input's filter; unconnected: dropped.
  void Deliver(Sample&& s);
  void BeginFlush();

 private:
  friend class FilterGraph;
  Filter* owner_;
  std::string name_;
  PinDir dir_;
  std::vector<MediaType> types_;
  Pin* peer_ = nullptr;
  MediaType connType_;
};

class Filter {
 public:
  Filter(ClassId clsid) : clsid_(std::move(clsid)) {}
  virtual ~Filter() = default;
  Filter(const Filter&) = delete;
  Filter& operator=(const Filter&) = delete;

  const ClassId& Clsid() const { return clsid_; }
  const std::string& Name() const { return name_; }
  // Renderer threads read it while the UI thread removes the filter: take it once per use.
  FilterGraph* Graph() const { return graph_.load(std::memory_order_acquire); }
  // Pins in enumeration order.
  std::vector<Pin*> Pins() const;
  std::vector<Pin*> Pins(PinDir dir) const;

  // Called on the thread that delivers (the navigator's reading thread).
  virtual void Receive(Pin* in, Sample&& s) {}
  // A flush starts: unblock anything waiting on downstream queues. Propagates downstream.
  virtual void BeginFlush();
  // Graph state changes, called on the UI thread, downstream filters first.
  virtual HRESULT Run() { return S_OK; }
  virtual HRESULT Pause() { return S_OK; }
  virtual HRESULT Stop() { return S_OK; }
  // Interface lookup by name ("IVideoWindow", a control interface's identifier, ...).
  virtual void* QueryInterface(const std::string& iid) { return nullptr; }
  // Called when the filter leaves its graph (before its pins are disconnected).
  virtual void Removed() {}

 protected:
  Pin* AddPin(std::string name, PinDir dir, std::vector<MediaType> types);
  // Delivers to every connected output pin whose connection type matches `major`.
  void DeliverTo(Major major, Sample&& s);

 private:
  friend class FilterGraph;
  ClassId clsid_;
  std::string name_;
  std::atomic<FilterGraph*> graph_{nullptr};
  std::vector<std::unique_ptr<Pin>> pins_;
};

// Creates filters by class identifier; the builder picks decoders from it by media type.
class FilterRegistry {
 public:
  using Factory = std::function<std::shared_ptr<Filter>()>;
  struct Entry {
    ClassId clsid;
    std::string name;
    unsigned merit = 0;             // higher wins when the builder chooses
    std::vector<MediaType> inputs;  // types its input pins take
    bool decoder = true;            // offered to the builder as a decoder
    Factory factory;
  };
  static FilterRegistry& Instance();
  void Register(Entry e);  // replaces an entry of the same class
  bool Unregister(const ClassId& clsid);
  // Null when the class is not registered or its factory fails.
  std::shared_ptr<Filter> Create(const ClassId& clsid) const;
  // Best-merit decoder class taking `t`; "" if none.
  ClassId FindDecoder(const MediaType& t) const;
  bool IsRegistered(const ClassId& clsid) const;
  // Restores the engine's own set of filters (tests change it).
  void ResetToDefaults();

 private:
  FilterRegistry();
  mutable std::mutex mu_;
  std::vector<Entry> entries_;
};

}  // namespace navdisc::graph
