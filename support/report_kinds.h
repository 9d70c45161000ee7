// The four report boxes and how they differ: one table read by the one report routine.
#pragma once
#include "support/report_format.h"
#include "support/text_ids.h"

enum class ReportKind { Notice, Error, InternalError, FatalError };

struct ReportKindInfo {
    unsigned titleId;
    unsigned icon;          // MessageBeep and MessageBox icon value
    bool takesGate;         // else shown even while another thread shows a box
    int offered;            // arguments offered to the format; OffersNothing = shown unformatted
    bool needsOwnerWindow;  // else shown even before the owner's window exists
    bool postsClose;        // WM_SYSCOMMAND SC_CLOSE to the owner afterwards
};

namespace report_kinds {
constexpr unsigned IconInformation = 0x40;
constexpr unsigned IconExclamation = 0x30;
constexpr unsigned IconHand = 0x10;

constexpr ReportKindInfo kTable[] = {
    {text_id::TitleNotice, IconInformation, true, report_format::OffersNothing, true, false},
    {text_id::TitleError, IconExclamation, true, report_format::OffersObjectName, true, false},
    {text_id::TitleInternalError, IconHand, true, report_format::OffersNameAndIds, true, false},
    {text_id::TitleFatalError, IconHand, false, report_format::OffersNameAndIds, false, true},
};

constexpr const ReportKindInfo& Info(ReportKind kind) { return kTable[static_cast<int>(kind)]; }
}  // namespace report_kinds
