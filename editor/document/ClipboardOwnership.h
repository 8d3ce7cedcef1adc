#pragma once

class QMimeData;

// The desktop clipboard is shared with every other program, other designers
// included: the designer takes its items off it only while the clipboard
// still holds what this process put there, never what another one did.
namespace editor {

class ClipboardOwnership {
  public:
    // Puts the data on the clipboard (which takes it over) and remembers it as ours.
    static void put(QMimeData* data);
    // True while the clipboard still holds the data of the last put().
    static bool holdsOurs();
    // Empties the clipboard when it holds our data; leaves it alone otherwise.
    static void releaseOurs();
};

} // namespace editor
