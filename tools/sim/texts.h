// Message texts of the substitute control application, named by text id (0 = success).
#pragma once

namespace sim_text {
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
    Count
};

// The text of an id; an unknown id gives a text that says so.
const char* Text(unsigned id);
}  // namespace sim_text
