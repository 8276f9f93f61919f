// A record from a later start together with whatever sits at the hand-off
// name: a file, a link to someone's file, a FIFO, a folder, a socket. Only a
// regular file is ever read, nothing blocks, and a file a link points at is
// never read or changed.
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QByteArray>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/InstanceChannel.h"
#include "player/core/HandOffFile.h"

namespace {

constexpr unsigned kOpenOtherFile = 1158;

enum Kind {
  kRegular,
  kLinkToDecoy,
  kFifo,
  kFolder,
  kMissing,
  kDanglingLink,
  kLinkToFifo,
  kSocket,
  kOversized,
  kWrittenOverLink,
  kKindCount
};

std::string ReadAll(const std::string& path) {
  std::string out;
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return out;
  char buf[4096];
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  close(fd);
  return out;
}

void WriteAll(const std::string& path, const std::string& data) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) std::abort();
  if (!data.empty() && write(fd, data.data(), data.size()) != static_cast<ssize_t>(data.size()))
    std::abort();
  close(fd);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const Kind kind = static_cast<Kind>(data[0] % kKindCount);
  const size_t recordBytes = size - 1 < 24 ? size - 1 : 24;
  QByteArray record(reinterpret_cast<const char*>(data + 1), static_cast<int>(recordBytes));
  // Half the inputs carry a well-formed 1158, so the file is reached often.
  if (data[0] & 0x80) record = plat::EncodeInstanceRecord(kOpenOtherFile, 0, 0);
  const std::string content(reinterpret_cast<const char*>(data + 1 + recordBytes),
                            size - 1 - recordBytes);

  unsigned msg = 0;
  WPARAM w = 0;
  LPARAM l = 0;
  const bool decoded = plat::DecodeInstanceRecord(record, msg, w, l);
  if (decoded !=
      (record.size() == plat::kInstanceRecordSize &&
       std::memcmp(record.constData(), "LMR1", 4) == 0 && record[4] == 1 && record[5] == 0))
    std::abort();
  if (!decoded || msg != kOpenOtherFile) return 0;

  QTemporaryDir dir;
  if (!dir.isValid()) return 0;
  const std::string base = dir.path().toStdString();
  const std::string name = base + "/OpenOtherFile.tmp";
  const std::string decoy = base + "/decoy";
  const std::string decoyText = "/decoy/must/stay\r\n";
  WriteAll(decoy, decoyText);

  switch (kind) {
    case kRegular:
      WriteAll(name, content);
      break;
    case kLinkToDecoy:
      if (symlink(decoy.c_str(), name.c_str()) != 0) std::abort();
      break;
    case kFifo:
      if (mkfifo(name.c_str(), 0600) != 0) std::abort();
      break;
    case kFolder:
      if (mkdir(name.c_str(), 0700) != 0) std::abort();
      break;
    case kMissing:
      break;
    case kDanglingLink:
      if (symlink((base + "/nowhere").c_str(), name.c_str()) != 0) std::abort();
      break;
    case kLinkToFifo:
      if (mkfifo((base + "/fifo").c_str(), 0600) != 0) std::abort();
      if (symlink((base + "/fifo").c_str(), name.c_str()) != 0) std::abort();
      break;
    case kSocket: {
      const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
      sockaddr_un addr{};
      addr.sun_family = AF_UNIX;
      if (name.size() >= sizeof addr.sun_path) return 0;
      std::strncpy(addr.sun_path, name.c_str(), sizeof addr.sun_path - 1);
      if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) std::abort();
      close(fd);
      break;
    }
    case kOversized:
      WriteAll(name, content);
      if (truncate(name.c_str(), (1 << 20) + 1 + static_cast<off_t>(content.size())) != 0)
        std::abort();
      break;
    case kWrittenOverLink: {
      if (symlink(decoy.c_str(), name.c_str()) != 0) std::abort();
      std::vector<std::string> lines;
      ParseHandOffText(content, lines);
      if (!WriteHandOffFile(name, lines)) std::abort();
      break;
    }
    case kKindCount:
      break;
  }

  // What the player does on the message: read, then act only on a regular file.
  std::vector<std::string> lines;
  const bool read = ReadHandOffFile(name, lines);
  const bool regular = kind == kRegular || kind == kWrittenOverLink;
  if (read != regular) std::abort();
  if (kind == kRegular) {
    std::vector<std::string> expected;
    ParseHandOffText(content, expected);
    if (lines != expected) std::abort();
  }
  if (!read && !lines.empty()) std::abort();
  for (const std::string& line : lines)
    if (line == "/decoy/must/stay") {
      // Only a regular file of its own may say that.
      if (kind != kRegular && kind != kWrittenOverLink) std::abort();
    }
  if (ReadAll(decoy) != decoyText) std::abort();
  return 0;
}
