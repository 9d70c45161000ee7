// The About box: version, and on a local link the control's footprint from the registry.
#pragma once
#include "support/dialog_win.h"
#include "support/footprint.h"

class AboutDialog : public Dialog {
public:
    explicit AboutDialog(HWND owner);
    // Fills the four texts for the link kind, then runs the box modally.
    void Run(bool connectedLocally);
    const FootprintTexts& Texts() const { return texts_; }

protected:
    void DoDataExchange(DataExchange& dx) override;

private:
    FootprintTexts texts_ = {};
};

// The Win32 registry behind the footprint reading.
class Win32FootprintRegistry : public FootprintRegistry {
public:
    bool OpenOrCreate(const RegistryKey& key) override;
    void ReadText(const char* value, char* out) override;
    void Close() override;

private:
    HKEY key_ = nullptr;
};
