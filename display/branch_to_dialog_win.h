// The Branch To dialog: up to 32 characters that go to the control as the Branch To command.
#pragma once
#include "support/dialog_win.h"

class BranchToDialog : public Dialog {
public:
    static constexpr int MaxText = 32;

    explicit BranchToDialog(HWND parent);
    const char* Text() const { return text_; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    char text_[MaxText + 1] = {};
};

// Formats the command for the entered text into out (36 bytes); returns its length without the NUL.
int FormatBranchCommand(const char* text, char (&out)[36]);
