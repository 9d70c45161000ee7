// The Connect To dialog: this computer or a named remote computer.
#pragma once
#include "link/connect_logic.h"
#include "support/dialog_win.h"

class ConnectDialog : public Dialog {
public:
    // The choice is shown when the dialog opens and updated on OK only.
    ConnectDialog(HWND parent, connect_logic::ConnectionChoice* choice);

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;

private:
    connect_logic::ConnectionChoice* choice_;
};
