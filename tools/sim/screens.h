// The controller's screens as data: fixed texts, live fields, menu entries, lists, key hints.
#pragma once
#include <cstddef>
#include <string>

#include "tools/sim/press_model.h"

template <class T>
struct Table {
    const T* items;
    size_t count;
    const T* begin() const { return items; }
    const T* end() const { return items + count; }
};

template <class T, size_t N>
constexpr Table<T> TableOf(const T (&items)[N]) {
    return {items, N};
}

enum class ScreenId { Main, Status, Params, Log, Alarms, Shutdown, Count };
enum class ScreenKind { Menu, Status, Params, List, Confirm };
enum class ListSource { None, ProductionLog, Alarms };

struct Label {
    int row;
    int column;
    const char* text;
};

// A live value: right-aligned in `width` cells with `decimals`; ValueId::Phase shows the phase name.
struct ValueField {
    int row;
    int column;
    int width;
    ValueId value;
    int decimals;
};

struct MenuEntry {
    int row;
    ScreenId target;
};

struct ScreenDef {
    ScreenId id;
    const char* name;  // the Branch To name
    ScreenKind kind;
    ScreenId parent;
    const char* title;
    Table<Label> labels;
    Table<ValueField> values;
    Table<MenuEntry> menu;
    ListSource list;
    const char* hints;
};

// Rows and columns shared by every screen.
namespace layout {
constexpr int HeaderRow = 0;
constexpr int TitleRow = 1;
constexpr int RuleRow = 2;
constexpr int MessageRow = 18;
constexpr int HintRow = 19;
constexpr int ModeColumn = 22;
constexpr int ClockColumn = 32;
constexpr int MarkerColumn = 1;
constexpr char Marker = '>';
constexpr const char* MachineName = "HP-250 PRESS LINE 3";
constexpr const char* Rule = "----------------------------------------";
// Parameter screen: one parameter a row from ParamFirstRow.
constexpr int ParamFirstRow = 4;
constexpr int ParamNameColumn = 3;
constexpr int ParamValueColumn = 21;
constexpr int ParamValueWidth = 8;
constexpr int ParamUnitColumn = 31;
constexpr int ParamRangeRow = 14;
constexpr int ParamStepRow = 15;
constexpr int ParamEntryRow = 16;
constexpr int ParamInfoColumn = 10;
constexpr int FastColumn = 29;
constexpr int SlowColumn = 35;
// Lists: visible rows from ListFirstRow; the position text sits right-aligned on the title row.
constexpr int ListFirstRow = 4;
constexpr int ListRows = 14;
constexpr int ListPositionColumn = 24;
constexpr int ListPositionWidth = 16;
}  // namespace layout

const ScreenDef& Screen(ScreenId id);
// The screen with this Branch To name, ignoring case and surrounding blanks; null if none.
const ScreenDef* FindScreen(const std::string& name);
// Branch To names of all screens, blank-separated.
std::string ScreenNames();

int ListSize(ListSource source);
// Line `index` (0-based) of a list, at most 40 characters.
std::string ListLine(ListSource source, int index);
