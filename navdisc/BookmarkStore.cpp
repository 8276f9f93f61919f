#include "navdisc/BookmarkStore.h"

#include <fcntl.h>
#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-stdio.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-stdio.h>
#include <gsf/gsf-output.h>
#include <gsf/gsf-utils.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <mutex>

namespace navdisc {
namespace {

// Storages nested deeper than this are not something a bookmark file ever holds.
constexpr int kMaxDepth = 16;
constexpr size_t kCopyChunk = 64 * 1024;
// Other programs' streams are copied along; one beyond this is taken for damage.
constexpr size_t kMaxCopiedStream = 64 * 1024 * 1024;

void EnsureGsf() {
  static std::once_flag once;
  std::call_once(once, [] {
    gsf_init();
    // Damaged files make libgsf complain on stderr; they are reported to the caller as false.
    for (const char* domain : {"libgsf:msole", "libgsf"})
      g_log_set_handler(
          domain, static_cast<GLogLevelFlags>(G_LOG_LEVEL_WARNING | G_LOG_LEVEL_CRITICAL),
          [](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
  });
}

template <typename T>
struct GObjectPtr {
  T* p = nullptr;
  GObjectPtr() = default;
  explicit GObjectPtr(T* q) : p(q) {}
  GObjectPtr(const GObjectPtr&) = delete;
  GObjectPtr& operator=(const GObjectPtr&) = delete;
  ~GObjectPtr() {
    if (p) g_object_unref(p);
  }
  T* get() const { return p; }
  void reset() {
    if (p) g_object_unref(p);
    p = nullptr;
  }
  explicit operator bool() const { return p != nullptr; }
};

struct GErrorHolder {
  GError* e = nullptr;
  ~GErrorHolder() {
    if (e) g_error_free(e);
  }
};

// Compound files compare entry names without regard to case.
bool SameEntryName(const char* a, const std::string& b) {
  if (!a) return false;
  gchar* fa = g_utf8_casefold(a, -1);
  gchar* fb = g_utf8_casefold(b.c_str(), static_cast<gssize>(b.size()));
  const bool same = fa && fb && std::strcmp(fa, fb) == 0;
  g_free(fa);
  g_free(fb);
  return same;
}

bool IsStorage(GsfInput* in) {
  return GSF_IS_INFILE(in) && gsf_infile_num_children(GSF_INFILE(in)) >= 0;
}

enum class OpenResult { kOk, kMissing, kUnreadable, kNotCompound };

OpenResult OpenCompound(const std::string& path, GObjectPtr<GsfInfile>& out) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return OpenResult::kMissing;
  if (!S_ISREG(st.st_mode)) return OpenResult::kUnreadable;
  if (st.st_size == 0) return OpenResult::kNotCompound;
  GErrorHolder err;
  GObjectPtr<GsfInput> input(gsf_input_stdio_new(path.c_str(), &err.e));
  if (!input) return OpenResult::kUnreadable;
  GErrorHolder err2;
  GsfInfile* infile = gsf_infile_msole_new(input.get(), &err2.e);
  if (!infile) return OpenResult::kNotCompound;
  out.p = infile;
  return OpenResult::kOk;
}

// Reads a whole stream, refusing anything larger than limit.
bool ReadStream(GsfInput* in, size_t limit, std::vector<uint8_t>& out) {
  const gsf_off_t size = gsf_input_size(in);
  if (size < 0 || static_cast<uint64_t>(size) > limit) return false;
  out.resize(static_cast<size_t>(size));
  size_t done = 0;
  while (done < out.size()) {
    const size_t n = std::min(kCopyChunk, out.size() - done);
    if (!gsf_input_read(in, n, out.data() + done)) return false;
    done += n;
  }
  return true;
}

bool WriteAll(GsfOutput* out, const uint8_t* data, size_t size) {
  return size == 0 || gsf_output_write(out, size, data);
}

bool CloseAndRelease(GsfOutput* out, bool ok) {
  ok = gsf_output_close(out) && ok;
  g_object_unref(out);
  return ok;
}

// Copies every entry of in to out, except a root stream named skip (the one being replaced).
// Entries that cannot be read are left out and `lost` is set, so the caller keeps the old file
// aside: one damaged entry must not stop every later bookmark of the disc from being saved.
// A stream is read whole before its copy is created, so no half stream is ever written. False
// only when writing fails.
bool CopyTree(GsfInfile* in, GsfOutfile* out, const std::string* skip, int depth, bool& lost) {
  if (depth > kMaxDepth) {
    lost = true;
    return true;
  }
  const int n = gsf_infile_num_children(in);
  for (int i = 0; i < n; ++i) {
    const char* name = gsf_infile_name_by_index(in, i);
    GObjectPtr<GsfInput> child(name && *name ? gsf_infile_child_by_index(in, i) : nullptr);
    if (!child) {
      lost = true;
      continue;
    }
    const bool storage = IsStorage(child.get());
    if (skip && !storage && SameEntryName(name, *skip)) continue;
    std::vector<uint8_t> bytes;
    if (!storage && !ReadStream(child.get(), kMaxCopiedStream, bytes)) {
      lost = true;
      continue;
    }
    GsfOutput* dst = gsf_outfile_new_child(out, name, storage);
    if (!dst) return false;
    bool ok;
    if (storage) {
      guint8 clsid[16];
      if (GSF_IS_INFILE_MSOLE(child.get()) &&
          gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(child.get()), clsid))
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(dst), clsid);
      ok = CopyTree(GSF_INFILE(child.get()), GSF_OUTFILE(dst), nullptr, depth + 1, lost);
    } else {
      ok = WriteAll(dst, bytes.data(), bytes.size());
    }
    if (!CloseAndRelease(dst, ok)) return false;
  }
  return true;
}

// Keeps a file we cannot read as a compound file beside the new one instead of overwriting it.
bool MoveAside(const std::string& path) {
  for (int i = 0; i < 1000; ++i) {
    const std::string aside = path + ".damaged" + (i ? std::to_string(i) : std::string());
    struct stat st {};
    if (::lstat(aside.c_str(), &st) == 0) continue;
    return ::rename(path.c_str(), aside.c_str()) == 0;
  }
  return false;
}

// An existing file keeps its permissions; a new one is readable by others like any document
// (reading the umask would mean changing it, which races with other threads).
mode_t NewFileMode(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
  return 0644;
}

}  // namespace

bool IsValidBookmarkStreamName(const std::string& name) {
  if (name.empty() || !g_utf8_validate(name.c_str(), static_cast<gssize>(name.size()), nullptr))
    return false;
  for (unsigned char c : name)
    if (c < 0x20 || c == 0x7f || c == '/' || c == '\\' || c == ':' || c == '!') return false;
  glong units = 0;
  gunichar2* utf16 =
      g_utf8_to_utf16(name.c_str(), static_cast<glong>(name.size()), nullptr, &units, nullptr);
  g_free(utf16);
  return utf16 && units > 0 && static_cast<size_t>(units) <= kMaxBookmarkStreamName;
}

bool SaveBookmarkStream(const std::string& path, const std::string& streamName,
                        const std::vector<uint8_t>& bytes) {
  if (path.empty() || !IsValidBookmarkStreamName(streamName) ||
      bytes.size() > kMaxBookmarkStreamSize)
    return false;
  EnsureGsf();

  GObjectPtr<GsfInfile> existing;
  switch (OpenCompound(path, existing)) {
    case OpenResult::kOk:
    case OpenResult::kMissing:
      break;
    case OpenResult::kUnreadable:
      return false;
    case OpenResult::kNotCompound:
      break;  // moved aside below, once the new file is safely written
  }
  struct stat st {};
  // An empty file holds nothing to keep; anything else unreadable is moved aside, not overwritten.
  const bool damagedExisting = !existing && ::stat(path.c_str(), &st) == 0 && st.st_size > 0;

  std::string tmp = path + ".XXXXXX";
  const int fd = ::mkstemp(tmp.data());
  if (fd < 0) return false;
  ::fchmod(fd, NewFileMode(path));
  FILE* file = ::fdopen(fd, "w+b");
  if (!file) {
    ::close(fd);
    ::unlink(tmp.c_str());
    return false;
  }

  bool ok = true;
  bool lostEntries = false;
  {
    GObjectPtr<GsfOutput> sink(gsf_output_stdio_new_FILE(tmp.c_str(), file, TRUE));
    GObjectPtr<GsfOutfile> outfile(sink ? gsf_outfile_msole_new(sink.get()) : nullptr);
    ok = outfile.get() != nullptr;
    if (ok && existing) {
      guint8 clsid[16];
      if (gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(existing.get()), clsid))
        gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(outfile.get()), clsid);
      ok = CopyTree(existing.get(), outfile.get(), &streamName, 0, lostEntries);
    }
    if (ok) {
      GsfOutput* stream = gsf_outfile_new_child(outfile.get(), streamName.c_str(), FALSE);
      ok = stream && CloseAndRelease(stream, WriteAll(stream, bytes.data(), bytes.size()));
    }
    if (outfile) ok = gsf_output_close(GSF_OUTPUT(outfile.get())) && ok;
    if (sink && !gsf_output_is_closed(sink.get())) ok = gsf_output_close(sink.get()) && ok;
  }
  ok = std::fflush(file) == 0 && ok;
  ok = ::fsync(::fileno(file)) == 0 && ok;
  ok = std::fclose(file) == 0 && ok;
  existing.reset();
  if (ok && (damagedExisting || lostEntries)) ok = MoveAside(path);
  if (ok) ok = ::rename(tmp.c_str(), path.c_str()) == 0;
  if (!ok) ::unlink(tmp.c_str());
  return ok;
}

bool LoadBookmarkStream(const std::string& path, const std::string& streamName,
                        std::vector<uint8_t>& out) {
  out.clear();
  if (path.empty() || streamName.empty()) return false;
  EnsureGsf();
  GObjectPtr<GsfInfile> infile;
  if (OpenCompound(path, infile) != OpenResult::kOk) return false;
  const int n = gsf_infile_num_children(infile.get());
  for (int i = 0; i < n; ++i) {
    if (!SameEntryName(gsf_infile_name_by_index(infile.get(), i), streamName)) continue;
    GObjectPtr<GsfInput> child(gsf_infile_child_by_index(infile.get(), i));
    if (!child || IsStorage(child.get())) continue;
    if (ReadStream(child.get(), kMaxBookmarkStreamSize, out)) return true;
    out.clear();
    return false;
  }
  return false;
}

std::vector<std::string> ListBookmarkStreams(const std::string& path) {
  std::vector<std::string> names;
  EnsureGsf();
  GObjectPtr<GsfInfile> infile;
  if (OpenCompound(path, infile) != OpenResult::kOk) return names;
  const int n = gsf_infile_num_children(infile.get());
  for (int i = 0; i < n; ++i) {
    GObjectPtr<GsfInput> child(gsf_infile_child_by_index(infile.get(), i));
    const char* name = gsf_infile_name_by_index(infile.get(), i);
    if (child && name && !IsStorage(child.get())) names.emplace_back(name);
  }
  return names;
}

bool SaveBookmarkState(const std::string& path, const std::string& streamName,
                       const NavdiscStateRecord& state) {
  return SaveBookmarkStream(path, streamName, SerializeState(state));
}

bool LoadBookmarkState(const std::string& path, const std::string& streamName,
                       NavdiscStateRecord& state) {
  std::vector<uint8_t> bytes;
  return LoadBookmarkStream(path, streamName, bytes) &&
         DeserializeState(bytes.data(), bytes.size(), state);
}

}  // namespace navdisc
