// Modal dialog base on dialog templates from the resources, with data exchange by control id.
#pragma once
#include <windows.h>

#include "support/window_win.h"

// Moves values between a dialog's controls and its members: load when the dialog opens, save on OK.
class DataExchange {
public:
    DataExchange(HWND dialog, bool save) : dialog_(dialog), save_(save) {}
    bool Saving() const { return save_; }
    // A text of at most capacity - 1 characters and its terminating zero.
    void Text(int controlId, char* buffer, int capacity);
    void Check(int controlId, int* checked);

private:
    HWND dialog_;
    bool save_;
};

class Dialog : public Window {
    QV_DECLARE_MESSAGE_MAP()
public:
    Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}
    ~Dialog() override;

    // Runs the dialog modally; IDOK, IDCANCEL or the value given to EndDialog, -1 when it could not open.
    INT_PTR DoModal();
    void EndDialog(INT_PTR result);

    // Ends every framework dialog open on this thread with IDCANCEL; used when their owner goes away.
    static void CancelAllModal();

protected:
    // A dialog whose fields take text outside the ANSI code page (credentials) runs as a Unicode
    // window, so that its edit controls keep what is typed; set before DoModal.
    bool unicodeFields_ = false;
    // Called after the data were loaded into the controls; true lets the dialog manager place the focus.
    virtual bool OnInitDialog() { return true; }
    virtual void DoDataExchange(DataExchange&) {}
    virtual void OnOK();
    virtual void OnCancel();

    LRESULT Default() override;
    HWND Item(int controlId) const { return GetDlgItem(hwnd_, controlId); }

private:
    static INT_PTR CALLBACK StaticDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnInitDialogMessage(WPARAM, LPARAM);
    LRESULT OnOKCommand(WPARAM, LPARAM);
    LRESULT OnCancelCommand(WPARAM, LPARAM);

    UINT templateId_;
    HWND parent_;
    bool defaultRequested_ = false;
    bool open_ = false;
};
