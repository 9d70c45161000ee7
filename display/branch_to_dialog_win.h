// The Branch To dialog: up to 32 characters that go to the control as the Branch To command.
#pragma once
#include "protocol/command_table.h"
#include "support/dialog_win.h"

class BranchToDialog : public Dialog {
public:
    static constexpr int MaxText = commands::BranchTextMax;

    explicit BranchToDialog(HWND parent);
    // After IDOK: a text that may go out as it is.
    const char* Text() const { return text_; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    char text_[MaxText + 1] = {};
};
