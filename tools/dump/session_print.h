// A raw stream or a captured session as lines, in text or as JSON objects: the inbound bytes as
// display events and the outbound ones as named commands, both directions in time order; and
// the screen at a moment of the session.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "display/text_display.h"
#include "tools/common/capture_file.h"

enum class LineStyle { Text, Json };

// Sorts the records by time, keeping the recorded order of equal times.
void SortByTime(std::vector<capture::Record>& records);

// A raw inbound stream in the reader's blocks: "Text 5 "HELLO"", ... without times.
void PrintStream(std::FILE* out, const std::string& bytes, LineStyle style);
// "   0.120000 in  Text 5 "HELLO"", "   0.130000 out CursorKey up", ...; times from the first record.
void PrintSession(std::FILE* out, const std::vector<capture::Record>& records, LineStyle style);

// Applies the inbound bytes recorded up to `untilUs` after the first record (all when
// UINT64_MAX) to the display, in the reader's blocks.
void ApplyInbound(const std::vector<capture::Record>& records, uint64_t untilUs, TextDisplay& display);

// The inbound bytes that follow the exit notice, which the panel never reads.
size_t BytesAfterExitNotice(const std::string& inbound);
std::string InboundBytes(const std::vector<capture::Record>& records);
