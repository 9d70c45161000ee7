// Command handling per kind of screen, and drawing of a screen from its table.
#include "tools/sim/controller.h"

#include <cstdio>

#include "tools/common/escapes.h"

namespace {
constexpr const char* kSpeedNames[] = {"slow", "normal", "fast"};
constexpr size_t kMaxEntry = 8;
constexpr const char* kStopText = "CONTROLLER STOPPED";
constexpr int kStopRow = 9;

// Operator messages for a typed value, indexed by EntryResult; %s is the parameter's range.
constexpr const char* kEntryMessages[] = {
    "Value set",
    "Type a value, then ENTER",
    "Not a number",
    "Too many decimals",
    "Out of range %s",
};

std::string Clock(int secondsOfDay) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", secondsOfDay / 3600 % 24, secondsOfDay / 60 % 60,
                  secondsOfDay % 60);
    return text;
}

std::string RightAligned(const std::string& text, int width) {
    return text.size() >= static_cast<size_t>(width) ? text : std::string(width - text.size(), ' ') + text;
}

std::string RangeText(ParamId id) {
    const ParamDef& def = Param(id);
    return FormatScaled(def.min, def.decimals) + " .. " + FormatScaled(def.max, def.decimals) + " " + def.unit;
}

void RenderFrame(Canvas& canvas, const char* title, int secondsOfDay) {
    canvas.Put(layout::HeaderRow, 0, layout::MachineName);
    canvas.Put(layout::HeaderRow, layout::ModeColumn, "AUTO");
    canvas.Put(layout::HeaderRow, layout::ClockColumn, Clock(secondsOfDay));
    canvas.Put(layout::TitleRow, 0, title);
    canvas.Put(layout::RuleRow, 0, layout::Rule);
}
}  // namespace

// Indexed by ScreenKind.
const Controller::Handler Controller::kKindHandlers[] = {
    &Controller::OnMenu, &Controller::OnStatus, &Controller::OnParams, &Controller::OnList, &Controller::OnConfirm,
};

Controller::Output Controller::Connect(uint64_t nowMs, int secondsOfDay) {
    lastTickMs_ = nowMs;
    secondsOfDay_ = secondsOfDay;
    identity_ = Identity::Pending;
    identityDeadline_ = nowMs + IdentityTimeoutMs;
    shown_.Clear();
    entry_.clear();
    message_.clear();
    Open(ScreenId::Main);
    Output out = Present({"identification requested (code 26)"});
    out.bytes.insert(out.bytes.begin(), static_cast<char>(inbound::Identify));
    return out;
}

Controller::Output Controller::Handle(const Command& command) {
    static_assert(sizeof(kKindHandlers) / sizeof(kKindHandlers[0]) == static_cast<size_t>(ScreenKind::Confirm) + 1,
                  "one handler per kind of screen");
    std::vector<std::string> notes;
    if (finished_) return {};
    message_.clear();
    if (!OnGlobal(command, notes)) {
        const ScreenDef& screen = Screen(current_);
        bool used = (this->*kKindHandlers[static_cast<int>(screen.kind)])(command);
        if (!used && command.kind == CommandKind::Exit && screen.parent != current_) Open(screen.parent);
    }
    if (finished_) return ShutDown(std::move(notes));
    return Present(std::move(notes));
}

Controller::Output Controller::Tick(uint64_t nowMs, int secondsOfDay) {
    if (finished_) return {};
    std::vector<std::string> notes;
    uint64_t elapsed = nowMs > lastTickMs_ ? nowMs - lastTickMs_ : 0;
    lastTickMs_ = nowMs;
    secondsOfDay_ = secondsOfDay;
    model_.Advance(static_cast<uint32_t>(elapsed), params_);
    if (identity_ == Identity::Pending && nowMs >= identityDeadline_) {
        identity_ = Identity::Failed;
        notes.push_back("no identification answer within " + std::to_string(IdentityTimeoutMs) + " ms");
    }
    return Present(std::move(notes));
}

bool Controller::OnGlobal(const Command& command, std::vector<std::string>& notes) {
    switch (command.kind) {
        case CommandKind::BranchTo:
            if (const ScreenDef* target = FindScreen(command.text)) {
                Open(target->id);
            } else {
                message_ = "No screen " + command.text + "; try " + ScreenNames();
            }
            return true;
        case CommandKind::Identification:
            notes.push_back(identity_ == Identity::Pending ? "identification answer \"VFD\": ok"
                                                           : "identification answer \"VFD\" without a request");
            if (identity_ == Identity::Pending) identity_ = Identity::Confirmed;
            return true;
        case CommandKind::Unknown:
            if (identity_ == Identity::Pending && !command.text.empty() && command.text[0] == 'V') {
                identity_ = Identity::Failed;
                notes.push_back("identification answer wrong: \"" + ShowBytes(command.text) + "\"");
            } else {
                notes.push_back("not understood: \"" + ShowBytes(command.text) + "\"");
            }
            return true;
        case CommandKind::Fast:
        case CommandKind::Slow:
            // "B" and "C" do not tell the latches' state: the panel sends them when a latch goes
            // down by mouse, when it comes up by keyboard, and for the letters C and D.
            return true;
        case CommandKind::Serv:
            message_ = "Service mode needs the key switch";
            return true;
        default:
            return false;
    }
}

bool Controller::OnMenu(const Command& command) {
    const Table<MenuEntry> menu = Screen(current_).menu;
    int last = static_cast<int>(menu.count) - 1;
    switch (command.kind) {
        case CommandKind::CursorUp:
            if (menuIndex_ > 0) --menuIndex_;
            return true;
        case CommandKind::CursorDown:
            if (menuIndex_ < last) ++menuIndex_;
            return true;
        case CommandKind::Enter:
            Open(menu.items[menuIndex_].target);
            return true;
        case CommandKind::SelectLine:
            for (const MenuEntry& entry : menu) {
                if (entry.row == command.value - 1) Open(entry.target);
            }
            return true;
        default:
            return false;
    }
}

bool Controller::OnStatus(const Command&) { return false; }

bool Controller::OnParams(const Command& command) {
    switch (command.kind) {
        case CommandKind::CursorUp:
        case CommandKind::LineUp:
            if (selectedParam_ > 0) --selectedParam_;
            entry_.clear();
            return true;
        case CommandKind::CursorDown:
        case CommandKind::LineDown:
            if (selectedParam_ < ParamCount - 1) ++selectedParam_;
            entry_.clear();
            return true;
        case CommandKind::SelectLine: {
            int index = command.value - 1 - layout::ParamFirstRow;
            if (index >= 0 && index < ParamCount) {
                selectedParam_ = index;
                entry_.clear();
            }
            return true;
        }
        case CommandKind::Adjust:
            AdjustSelected(command);
            return true;
        case CommandKind::Digit:
        case CommandKind::Point:
            if (entry_.size() < kMaxEntry) entry_ += command.kind == CommandKind::Point ? '.' : char('0' + command.value);
            return true;
        case CommandKind::Neg:
            if (!entry_.empty() && entry_[0] == '-') {
                entry_.erase(0, 1);
            } else if (entry_.size() < kMaxEntry) {
                entry_.insert(0, 1, '-');
            }
            return true;
        case CommandKind::Enter:
            EnterValue();
            return true;
        case CommandKind::Exit:
            if (entry_.empty()) return false;
            entry_.clear();
            message_ = "Entry cancelled";
            return true;
        default:
            return false;
    }
}

bool Controller::OnList(const Command& command) {
    switch (command.kind) {
        case CommandKind::LineUp:
        case CommandKind::CursorUp:
            ScrollList(-1);
            return true;
        case CommandKind::LineDown:
        case CommandKind::CursorDown:
            ScrollList(1);
            return true;
        default:
            return false;
    }
}

bool Controller::OnConfirm(const Command& command) {
    if (command.kind != CommandKind::Enter) return false;
    finished_ = true;
    return true;
}

void Controller::Open(ScreenId id) {
    if (id != current_) redraw_ = true;
    current_ = id;
    entry_.clear();
}

void Controller::AdjustSelected(const Command& command) {
    ParamId id = SelectedParam();
    const ParamDef& def = Param(id);
    entry_.clear();
    speed_ = command.speed;
    int32_t change = params_.Adjust(id, command.value, command.speed);
    if (change == 0) {
        message_ = std::string(def.name) + (command.value > 0 ? " at maximum" : " at minimum");
    } else {
        message_ = std::string(def.name) + " " + (change > 0 ? "+" : "") + FormatScaled(change, def.decimals) + " " +
                   def.unit + " (" + kSpeedNames[static_cast<int>(command.speed)] + ")";
    }
}

void Controller::EnterValue() {
    ParamId id = SelectedParam();
    EntryResult result = params_.Enter(id, entry_);
    char text[80];
    std::snprintf(text, sizeof text, kEntryMessages[static_cast<int>(result)], RangeText(id).c_str());
    message_ = result == EntryResult::Ok ? std::string(Param(id).name) + " = " +
                                               FormatScaled(params_.Get(id), Param(id).decimals) + " " + Param(id).unit
                                         : text;
    if (result == EntryResult::Ok || result == EntryResult::Empty) entry_.clear();
}

void Controller::ScrollList(int delta) {
    const ScreenDef& screen = Screen(current_);
    int& top = listTop_[static_cast<int>(current_)];
    int last = ListSize(screen.list) - layout::ListRows;
    if (last < 0) last = 0;
    int next = top + delta;
    if (next < 0 || next > last) {
        message_ = next < 0 ? "Top of list" : "End of list";
        return;
    }
    top = next;
}

std::string Controller::ValueText(const ValueField& field) const {
    double value = model_.Value(field.value);
    if (field.value == ValueId::Phase) return PhaseName(model_.CurrentPhase());
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", field.decimals, value);
    std::string shown = text;
    if (shown == "-0" || shown.find_first_not_of("-0.") == std::string::npos) shown.erase(0, shown[0] == '-');
    return shown;
}

void Controller::Render(Canvas& canvas) const {
    const ScreenDef& screen = Screen(current_);
    canvas.Clear();
    RenderFrame(canvas, screen.title, secondsOfDay_);
    for (const Label& label : screen.labels) canvas.Put(label.row, label.column, label.text);
    for (const ValueField& field : screen.values) {
        bool left = field.value == ValueId::Phase;
        std::string text = ValueText(field);
        canvas.PutField(field.row, field.column, field.width, left ? text : RightAligned(text, field.width));
    }
    if (screen.kind == ScreenKind::Menu) canvas.Put(screen.menu.items[menuIndex_].row, layout::MarkerColumn, ">");
    if (screen.kind == ScreenKind::Params) RenderParams(canvas);
    if (screen.kind == ScreenKind::List) RenderList(canvas);
    canvas.PutField(layout::MessageRow, 0, screen::Columns, message_);
    canvas.Put(layout::HintRow, 0, screen.hints);
}

void Controller::RenderParams(Canvas& canvas) const {
    for (int i = 0; i < ParamCount; ++i) {
        const ParamDef& def = Param(static_cast<ParamId>(i));
        int row = layout::ParamFirstRow + i;
        if (i == selectedParam_) canvas.Put(row, layout::MarkerColumn, ">");
        canvas.Put(row, layout::ParamNameColumn, def.name);
        canvas.Put(row, layout::ParamValueColumn,
                   RightAligned(FormatScaled(params_.Get(static_cast<ParamId>(i)), def.decimals), layout::ParamValueWidth));
        canvas.Put(row, layout::ParamUnitColumn, def.unit);
    }
    const ParamDef& def = Param(SelectedParam());
    std::string steps;
    for (int32_t step : def.steps) steps += (steps.empty() ? "" : " / ") + FormatScaled(step, def.decimals);
    canvas.Put(layout::ParamRangeRow, layout::ParamInfoColumn, RangeText(SelectedParam()));
    canvas.Put(layout::ParamStepRow, layout::ParamInfoColumn, steps + " " + def.unit);
    if (!entry_.empty()) canvas.Put(layout::ParamEntryRow, layout::ParamInfoColumn, entry_ + "_");
    if (speed_ == AdjustSpeed::Fast) canvas.Put(layout::TitleRow, layout::FastColumn, "FAST");
    if (speed_ == AdjustSpeed::Slow) canvas.Put(layout::TitleRow, layout::SlowColumn, "SLOW");
}

void Controller::RenderList(Canvas& canvas) const {
    const ScreenDef& screen = Screen(current_);
    int top = listTop_[static_cast<int>(current_)];
    int size = ListSize(screen.list);
    int bottom = top + layout::ListRows < size ? top + layout::ListRows : size;
    for (int i = top; i < bottom; ++i) canvas.Put(layout::ListFirstRow + i - top, 1, ListLine(screen.list, i));
    std::string position = std::to_string(top + 1) + "-" + std::to_string(bottom) + " of " + std::to_string(size);
    canvas.Put(layout::TitleRow, layout::ListPositionColumn, RightAligned(position, layout::ListPositionWidth));
}

Controller::Output Controller::Present(std::vector<std::string> notes) {
    Canvas wanted;
    Render(wanted);
    Output out;
    if (redraw_) {
        out.bytes = EncodeScreen(wanted);
        notes.push_back("screen " + std::string(Screen(current_).name) + " sent (" + std::to_string(out.bytes.size()) +
                        " bytes)");
        redraw_ = false;
    } else {
        out.bytes = EncodeChanges(shown_, wanted);
    }
    shown_ = wanted;
    out.notes = std::move(notes);
    return out;
}

Controller::Output Controller::ShutDown(std::vector<std::string> notes) {
    Canvas wanted;
    RenderFrame(wanted, "SHUT DOWN", secondsOfDay_);
    wanted.Put(kStopRow, (screen::Columns - static_cast<int>(sizeof(kStopText) - 1)) / 2, kStopText);
    Output out;
    out.bytes = EncodeScreen(wanted) + static_cast<char>(inbound::ExitNotice);
    shown_ = wanted;
    notes.push_back("shut down: stop screen and exit notice (code 22) sent");
    out.notes = std::move(notes);
    return out;
}
