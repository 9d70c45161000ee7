// The About box's footprint texts: the control's part number, revision and description and
// the computer's name, read from the registry only when the panel is connected locally.
#pragma once

struct FootprintTexts {
    static constexpr int Size = 50;  // 49 characters and the terminating zero
    char computerName[Size];
    char partNumber[Size];
    char revision[Size];
    char description[Size];
};

// The registry as the About box uses it; one key open at a time.
class FootprintRegistry {
public:
    // Opens the key under HKEY_LOCAL_MACHINE, creating it when absent.
    virtual bool OpenOrCreate(const char* key) = 0;
    // Reads a value of the open key as text into out (Size bytes); a missing value gives "".
    // The text is always terminated within the buffer, a longer value cut to 49 characters.
    virtual void ReadText(const char* value, char* out) = 0;
    virtual void Close() = 0;

protected:
    ~FootprintRegistry() = default;
};

namespace footprint {
constexpr char ControlKey[] = "SOFTWARE\\Halvorne\\Ventra";
constexpr char ComputerNameKey[] = "SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName";

void Fill(bool connectedLocally, const char* notAvailableText, FootprintRegistry& registry, FootprintTexts& out);
}  // namespace footprint
