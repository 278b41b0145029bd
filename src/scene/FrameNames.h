#pragma once
// Frame names of loaded parts: the search by normalised name, and the unique "@NNNN" suffixes that
// every frame of a loaded part receives from one process-wide counter.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/rm/Frame.h"

namespace scene {

// Longest name the search reads or compares (the rest of a longer query is cut off); a frame
// whose name does not fit counts as named "?".
inline constexpr std::size_t kMaxFrameName = 259;

// The name as the search compares it: cut at the first "@" (outside two-byte characters), then a
// leading "X3DS_" dropped, then a leading "FRM-" dropped (both prefixes in exact case).
std::string NormaliseFrameName(std::string_view name);
// The frame's name read through a 260-byte buffer ("?" when it does not fit).
std::string ReadFrameName(const rm::Frame& frame);

// The next suffix value and the counter itself (starts at 0, never reset by the system; tests
// may set it).
std::uint32_t FrameNameCounter();
void SetFrameNameCounter(std::uint32_t value);
// "@%04ld" of a counter value: four digits with leading zeros, more past 9999.
std::string FrameNameSuffix(std::uint32_t value);

}  // namespace scene

// The first frame, depth-first pre-order under and including `start`, whose normalised name
// equals the normalised `name` case-insensitively; null when none or without a start frame.
rm::Ref<rm::Frame> FindFrameByName(std::string_view name, rm::Frame* start);

// Every frame below `frame` (not `frame` itself), parents before children: the application tag
// becomes `tag`; a name without "@" gets the counter's suffix and advances the counter.
void MakeFrameNamesUnique(rm::Frame* frame, std::uint32_t tag);
