// Ids of the string-table texts that the code names; res/quorvex.rc holds the texts.
#pragma once

namespace text_id {
constexpr unsigned AppTitle = 2;
constexpr unsigned ApplicationName = 57344;
constexpr unsigned IdleStatus = 57345;
constexpr unsigned ObjectSystem = 61001;
constexpr unsigned TitleError = 62001;
constexpr unsigned TitleNotice = 62003;
constexpr unsigned TitleInternalError = 62004;
constexpr unsigned TitleFatalError = 62005;
constexpr unsigned InvalidParameter = 62007;
constexpr unsigned OutOfRange = 62009;
constexpr unsigned CannotCreateObject = 62011;
constexpr unsigned InsufficientMemory = 62012;
constexpr unsigned UnexpectedState = 62013;
constexpr unsigned GuideNotOpened = 62015;
constexpr unsigned DisplayFontFace = 62020;
constexpr unsigned ObjectFrame = 62132;
constexpr unsigned PaneSizeLine = 62160;
constexpr unsigned NoPipeDevice = 62203;
constexpr unsigned NoSelection = 62204;
constexpr unsigned ReadAccessDenied = 62205;
constexpr unsigned WriteAccessDenied = 62206;
constexpr unsigned BadComputerName = 62207;
constexpr unsigned CommunicationsError = 62208;
constexpr unsigned RemoteAccessDenied = 62209;
constexpr unsigned ControlExitedNotice = 62210;
constexpr unsigned ControlNotReading = 62211;
constexpr unsigned NotAvailableRemote = 62224;
constexpr unsigned ReadPipeFormat = 62232;
constexpr unsigned WritePipeFormat = 62233;
// A station without its control: the display's two lines and pane 2.
constexpr unsigned StationNoControl = 62240;
constexpr unsigned StationWaitingLine = 62241;
constexpr unsigned StationWaitingPane = 62242;
constexpr unsigned StationRefusedPane = 62243;
}  // namespace text_id
