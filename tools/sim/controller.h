// The HP-250 press controller: screen navigation, parameter editing and live values,
// turned into display stream bytes by drawing each screen and sending what changed.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/sim/canvas.h"
#include "tools/common/commands.h"
#include "tools/sim/params.h"
#include "tools/sim/press_model.h"
#include "tools/sim/screens.h"

class Controller {
public:
    struct Output {
        std::string bytes;               // to write to the panel, possibly empty
        std::vector<std::string> notes;  // console lines: screens sent, identification, commands not understood
    };
    enum class Identity { Pending, Confirmed, Failed };

    static constexpr uint32_t IdentityTimeoutMs = 3000;

    // A new panel: asks it to identify itself and draws the main menu.
    Output Connect(uint64_t nowMs, int secondsOfDay);
    Output Handle(const Command& command);
    // Moves the machine on and sends the fields that changed.
    Output Tick(uint64_t nowMs, int secondsOfDay);

    bool Finished() const { return finished_; }
    ScreenId Current() const { return current_; }
    Identity IdentityState() const { return identity_; }
    const Canvas& Shown() const { return shown_; }
    const ParamSet& Params() const { return params_; }
    ParamId SelectedParam() const { return static_cast<ParamId>(selectedParam_); }
    int ListTop(ScreenId id) const { return listTop_[static_cast<int>(id)]; }

private:
    using Handler = bool (Controller::*)(const Command&);
    static const Handler kKindHandlers[];

    bool OnMenu(const Command& command);
    bool OnStatus(const Command& command);
    bool OnParams(const Command& command);
    bool OnList(const Command& command);
    bool OnConfirm(const Command& command);
    bool OnGlobal(const Command& command, std::vector<std::string>& notes);
    void Open(ScreenId id);
    void AdjustSelected(const Command& command);
    void EnterValue();
    void ScrollList(int delta);

    void Render(Canvas& canvas) const;
    void RenderParams(Canvas& canvas) const;
    void RenderList(Canvas& canvas) const;
    std::string ValueText(const ValueField& field) const;
    // Bytes for the difference between the panel's display and the current screen.
    Output Present(std::vector<std::string> notes);
    Output ShutDown(std::vector<std::string> notes);

    ScreenId current_ = ScreenId::Main;
    bool redraw_ = true;  // the next output clears and draws the whole screen
    Canvas shown_;        // what the panel shows now
    PressModel model_;
    ParamSet params_;
    int menuIndex_ = 0;
    int selectedParam_ = 0;
    std::string entry_;  // typed value on the parameter screen
    std::string message_;
    // The speed of the last ADJUST command: all the bytes tell of the panel's FAST and SLOW keys.
    AdjustSpeed speed_ = AdjustSpeed::Normal;
    int listTop_[static_cast<int>(ScreenId::Count)] = {};
    uint64_t lastTickMs_ = 0;
    uint64_t identityDeadline_ = 0;
    int secondsOfDay_ = 0;
    Identity identity_ = Identity::Pending;
    bool finished_ = false;
};
