// Message texts of the tools (simulator, tap, dump, headless panel), named by text id (0 = success).
#pragma once

namespace tool_text {
enum : unsigned {
    Ok = 0,
    UnknownEscape,
    ShortHexEscape,
    BadAddressEscape,
    AddressOutOfRange,
    TrailingBackslash,
    UnknownScriptCommand,
    MissingBytes,
    MissingNumber,
    BadNumber,
    NumberTooLarge,
    UnexpectedArgument,
    UnknownOption,
    MissingOptionValue,
    BadDevice,
    BadTimeout,
    ScriptUnreadable,
    PipeInUse,
    PipeCreateFailed,
    CaptureNotPcapng,
    CaptureBlockLength,
    CaptureVersion,
    CaptureLinkType,
    CaptureInterface,
    CapturePacketLength,
    CaptureOption,
    CaptureDirection,
    CaptureTimeResolution,
    CaptureTimeRange,
    CaptureCut,
    BadSpeed,
    ReplayWithScript,
    SpeedWithoutReplay,
    TapDevicesMissing,
    TapSameDevice,
    CaptureCreateFailed,
    CaptureWriteFailed,
    ControlUnavailable,
    ControlClosed,
    PanelClosed,
    Interrupted,
    Count
};

// The text of an id; an unknown id gives a text that says so.
const char* Text(unsigned id);
}  // namespace tool_text
