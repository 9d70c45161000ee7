// A captured session as lines: both directions in time order, the inbound bytes as display
// events and the outbound ones as named commands; and the screen at a moment of the session.
#pragma once
#include <cstdint>
#include <cstdio>
#include <vector>

#include "display/text_display.h"
#include "tools/common/capture_file.h"

// Sorts the records by time, keeping the recorded order of equal times.
void SortByTime(std::vector<capture::Record>& records);

// "   0.120000 in  Text 5 "HELLO"", "   0.130000 out CursorKey up", ...; times from the first record.
void PrintSession(std::FILE* out, const std::vector<capture::Record>& records);

// Applies the inbound bytes recorded up to `untilUs` after the first record (all when
// UINT64_MAX) to the display, in the reader's blocks.
void ApplyInbound(const std::vector<capture::Record>& records, uint64_t untilUs, TextDisplay& display);
