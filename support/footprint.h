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

// A key under HKEY_LOCAL_MACHINE and the registry view it is read in on 64-bit Windows.
struct RegistryKey {
    enum class View { Own, ThirtyTwoBit };
    const char* path;
    View view;
};

// The registry as the About box uses it; one key open at a time.
class FootprintRegistry {
public:
    // Opens the key in its view, creating it when absent.
    virtual bool OpenOrCreate(const RegistryKey& key) = 0;
    // Reads a value of the open key as text into out (Size bytes); a missing value gives "".
    // The text is always terminated within the buffer, a longer value cut to 49 characters.
    virtual void ReadText(const char* value, char* out) = 0;
    virtual void Close() = 0;

protected:
    ~FootprintRegistry() = default;
};

namespace footprint {
// The control application is a 32-bit program: its key is in the 32-bit view. The computer
// name's key is the same in both views.
constexpr RegistryKey ControlKey = {"SOFTWARE\\Halvorne\\Ventra", RegistryKey::View::ThirtyTwoBit};
constexpr RegistryKey ComputerNameKey = {"SYSTEM\\CurrentControlSet\\Control\\ComputerName\\ComputerName",
                                         RegistryKey::View::Own};

void Fill(bool connectedLocally, const char* notAvailableText, FootprintRegistry& registry, FootprintTexts& out);
}  // namespace footprint
