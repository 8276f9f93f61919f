#include "navdisc/graph/Filter.h"

#include <algorithm>

#include "navdisc/graph/Builder.h"

namespace navdisc::graph {

bool Pin::Accepts(const MediaType& t) const {
  for (const MediaType& m : types_) {
    if (m.major != t.major) continue;
    if (m.subtype == Subtype::Unknown || t.subtype == Subtype::Unknown || m.subtype == t.subtype)
      return true;
  }
  return false;
}

void Pin::Deliver(Sample&& s) {
  Pin* peer = peer_;
  if (dir_ == PinDir::Output && peer) peer->Owner()->Receive(peer, std::move(s));
}

void Pin::BeginFlush() {
  Pin* peer = peer_;
  if (dir_ == PinDir::Output && peer) peer->Owner()->BeginFlush();
}

std::vector<Pin*> Filter::Pins() const {
  std::vector<Pin*> out;
  for (const auto& p : pins_) out.push_back(p.get());
  return out;
}

std::vector<Pin*> Filter::Pins(PinDir dir) const {
  std::vector<Pin*> out;
  for (const auto& p : pins_)
    if (p->Direction() == dir) out.push_back(p.get());
  return out;
}

Pin* Filter::AddPin(std::string name, PinDir dir, std::vector<MediaType> types) {
  pins_.push_back(std::make_unique<Pin>(this, std::move(name), dir, std::move(types)));
  return pins_.back().get();
}

void Filter::BeginFlush() {
  for (Pin* p : Pins(PinDir::Output)) p->BeginFlush();
}

void Filter::DeliverTo(Major major, Sample&& s) {
  for (Pin* p : Pins(PinDir::Output)) {
    if (p->ConnectedTo() && p->ConnectionType().major == major) {
      p->Deliver(std::move(s));
      return;
    }
  }
}

FilterRegistry::FilterRegistry() { RegisterEngineFilters(*this); }

FilterRegistry& FilterRegistry::Instance() {
  static FilterRegistry registry;
  return registry;
}

void FilterRegistry::Register(Entry e) {
  std::lock_guard lock(mu_);
  std::erase_if(entries_, [&](const Entry& x) { return x.clsid == e.clsid; });
  entries_.push_back(std::move(e));
}

bool FilterRegistry::Unregister(const ClassId& clsid) {
  std::lock_guard lock(mu_);
  return std::erase_if(entries_, [&](const Entry& x) { return x.clsid == clsid; }) > 0;
}

std::shared_ptr<Filter> FilterRegistry::Create(const ClassId& clsid) const {
  Factory f;
  {
    std::lock_guard lock(mu_);
    for (const Entry& e : entries_)
      if (e.clsid == clsid) f = e.factory;
  }
  return f ? f() : nullptr;
}

ClassId FilterRegistry::FindDecoder(const MediaType& t) const {
  std::lock_guard lock(mu_);
  const Entry* best = nullptr;
  for (const Entry& e : entries_) {
    if (!e.decoder) continue;
    for (const MediaType& in : e.inputs) {
      bool match =
          in.major == t.major && (in.subtype == Subtype::Unknown || t.subtype == Subtype::Unknown ||
                                  in.subtype == t.subtype);
      if (match && (!best || e.merit > best->merit)) best = &e;
    }
  }
  return best ? best->clsid : ClassId();
}

bool FilterRegistry::IsRegistered(const ClassId& clsid) const {
  std::lock_guard lock(mu_);
  return std::any_of(entries_.begin(), entries_.end(),
                     [&](const Entry& e) { return e.clsid == clsid; });
}

void FilterRegistry::ResetToDefaults() {
  {
    std::lock_guard lock(mu_);
    entries_.clear();
  }
  RegisterEngineFilters(*this);
}

}  // namespace navdisc::graph
