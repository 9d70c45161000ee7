// The simulator's output through the real stream decoder into a display.
#include "tests/tools/sim_screens.h"


#include "display/text_display.h"
#include "link/stream_decoder.h"
#include "tools/common/commands.h"
#include "tools/common/screen_text.h"
#include "tools/sim/controller.h"
#include "tools/sim/screens.h"

namespace {
class Panel final : public DisplayOwner, public ByteWriter {
public:
    Panel() { display_.SetOwner(this); }
    ~Panel() { display_.SetOwner(nullptr); }
    void Apply(const std::string& bytes) { decoder_.DecodeAsRead(bytes.data(), bytes.size(), display_, *this); }
    ShownScreen Shown(const std::string& what) const {
        const ScreenCopy copy = CopyScreen(display_);
        ShownScreen shown;
        shown.what = what;
        for (int i = 0; i < screen::Lines; ++i) shown.lines[i] = copy.lines[i];
        shown.row = copy.row;
        shown.column = copy.column;
        return shown;
    }
    void LinesChanged(uint32_t) override {}
    bool HasDisplayFont() const override { return true; }
    void OnControlExited() override {}
    int WriteBytes(const char*, int32_t) override { return 1; }

private:
    TextDisplay display_;
    StreamDecoder decoder_;
};
}  // namespace

std::vector<ShownScreen> EverySimulatorScreen() {
    constexpr CommandKind kKeys[] = {CommandKind::CursorDown, CommandKind::LineDown, CommandKind::CursorRight,
                                     CommandKind::Digit,      CommandKind::Adjust,   CommandKind::Enter};
    std::vector<ShownScreen> screens;
    for (int id = 0; id < static_cast<int>(ScreenId::Count); ++id) {
        const ScreenDef& screen = Screen(static_cast<ScreenId>(id));
        Controller controller;
        Panel panel;
        panel.Apply(controller.Connect(0, 8 * 3600).bytes);
        screens.push_back(panel.Shown("main menu"));
        Command branch;
        branch.kind = CommandKind::BranchTo;
        branch.text = screen.name;
        panel.Apply(controller.Handle(branch).bytes);
        screens.push_back(panel.Shown(screen.name));
        uint64_t now = 0;
        for (CommandKind kind : kKeys) {
            Command key;
            key.kind = kind;
            key.value = kind == CommandKind::Adjust ? 1 : 7;
            panel.Apply(controller.Handle(key).bytes);
            now += 1000;
            panel.Apply(controller.Tick(now, 8 * 3600 + static_cast<int>(now / 1000)).bytes);
            screens.push_back(panel.Shown(std::string(screen.name) + " after command " +
                                          std::to_string(static_cast<int>(kind))));
        }
    }
    return screens;
}

ShownScreen ScreenAfter(const std::string& bytes) {
    Panel panel;
    panel.Apply(bytes);
    return panel.Shown("after bytes");
}
