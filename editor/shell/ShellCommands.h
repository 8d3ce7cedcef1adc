#pragma once

#include <span>
#include <string_view>

// The designer's commands as the menus, the toolbar, the parts palette and the
// status bar show them: numbers, texts, prompts, tooltips, pictures and keys.
// One table, so that every place that shows a command agrees with the others.
namespace editor {

enum class Command {
    NewForm = 57600,
    OpenForm = 57601,
    SaveForm = 57603,
    SaveFormAs = 57604,
    SampleData = 136,
    Exit = 57665,
    Undo = 57643,
    Redo = 57644,
    Cut = 57635,
    Copy = 57634,
    Paste = 57637,
    Delete = 32797,
    SelectAll = 57642,
    ViewToolbar = 59392,
    ViewStatusBar = 59393,
    ViewPartsPalette = 130,
    ViewEditPalette = 155,
    DisplayImage = 131,
    PrintImage = 132,
    DesignSheet = 133,
    EntrySheet = 134,
    Options = 135,
    About = 57664,
    FormInfo = 32777,
    RangeSelect = 32778,
    FieldTool = 32779,
    LineTool = 32795,
    RectangleTool = 32784,
    BitmapTool = 32787,
    BarcodeTool = 32800,
};

struct CommandInfo {
    Command id;
    std::string_view menuText; // empty for a command that only a button offers
    std::string_view prompt;   // the status bar's text while the command is pointed at
    std::string_view tooltip;  // also the button's accessible name
    std::string_view picture;  // resource name under :/shell/pictures/, empty for none
    int toolMode;              // the canvas's tool mode it selects, 0 for none
    bool available;            // false: the command arrives with a later part of the designer
    std::string_view keys;     // key sequences in portable text, separated by "; "
};

// Every command, in no particular order.
std::span<const CommandInfo> shellCommands();
// The row of one command; every Command has one.
const CommandInfo& commandInfo(Command id);

// The buttons of the toolbar and of the parts palette, left to right; a
// separator is kSeparator.
inline constexpr Command kSeparator = Command(0);
std::span<const Command> toolbarButtons();
std::span<const Command> partsPaletteButtons();

} // namespace editor
