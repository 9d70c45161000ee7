// The Connect To dialog: this computer or a named remote computer.
#pragma once
#include "link/connect_logic.h"
#include "support/dialog_win.h"

class ConnectDialog : public Dialog {
public:
    // The choice is shown when the dialog opens and updated on OK only, with a remote computer's
    // name that passes the name rule; any other name is refused with a box and the dialog stays.
    ConnectDialog(HWND parent, connect_logic::ConnectionChoice* choice);

protected:
    bool OnInitDialog() override;
    void DoDataExchange(DataExchange& dx) override;
    void OnOK() override;

private:
    bool NameAcceptable() const;
    void RefuseName();

    connect_logic::ConnectionChoice* choice_;
};
