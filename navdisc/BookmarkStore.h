// DVD bookmark files: OLE2 compound files (through libgsf) holding one stream per bookmark at
// the root, each named by the caller. Several bookmarks of one disc share a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "navdisc/EngineState.h"

namespace navdisc {

// A bookmark stream is a few dozen bytes; anything far larger is damage, not a bookmark.
inline constexpr size_t kMaxBookmarkStreamSize = 64 * 1024;
// Compound-file directory entries hold at most 31 UTF-16 characters.
inline constexpr size_t kMaxBookmarkStreamName = 31;

// True when name can be stored as a root stream name as it is (not empty, at most 31 characters,
// none of '/', '\\', ':', '!' or control characters). Longer names are refused, never truncated,
// so that what is saved can be found again under the same name.
bool IsValidBookmarkStreamName(const std::string& name);

// Writes bytes as stream streamName of the compound file at path. A missing file is created;
// the other streams of an existing file are kept, and a stream of the same name (compared
// without regard to ASCII case, as compound files do) is replaced. The file is rewritten whole
// into a temporary file beside it and renamed over it, so a failure leaves the old file intact.
// An existing file that is not a readable compound file is kept as "<path>.damaged" and a new
// one is started; so is one with entries that cannot be read, whose readable ones are carried
// over. False on an invalid name, oversized data or any I/O failure.
bool SaveBookmarkStream(const std::string& path, const std::string& streamName,
                        const std::vector<uint8_t>& bytes);

// Reads stream streamName of the compound file at path into out. False (out cleared) for a
// missing or unreadable file, a missing stream, or a stream larger than kMaxBookmarkStreamSize.
bool LoadBookmarkStream(const std::string& path, const std::string& streamName,
                        std::vector<uint8_t>& out);

// Names of the streams at the root of the file, in directory order; empty when unreadable.
std::vector<std::string> ListBookmarkStreams(const std::string& path);

// The engine's state record through the two calls above.
bool SaveBookmarkState(const std::string& path, const std::string& streamName,
                       const NavdiscStateRecord& state);
bool LoadBookmarkState(const std::string& path, const std::string& streamName,
                       NavdiscStateRecord& state);

}  // namespace navdisc
