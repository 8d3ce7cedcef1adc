#pragma once

#include <QRect>
#include <QString>

// The designer's few settings, kept in a profile (.ini) file between runs:
// the folder the file dialogs start in, the main window's rectangle and two
// options. Read once before the main window exists, written once when it
// closes.
namespace editor {

class DesignerSettings {
  public:
    // A larger file is ignored (one warning on standard error) and left alone.
    static constexpr long long kMaxFileBytes = 64 * 1024;

    // Exactly as chosen, also when Shift-JIS cannot hold the name.
    QString lastFolder;
    // Screen pixels; -1 everywhere means the window starts maximised.
    int left = -1;
    int top = -1;
    int right = -1;
    int bottom = -1;
    // 1: a drawing tool stays selected after an item is drawn.
    int modeKeep = 0;
    // 1: the property pages store the shown item before stepping to another.
    int updateMove = 0;

    // True unless all four window values are known.
    bool startsMaximized() const;
    // The rectangle to create the window with (x, y, width, height); an
    // invalid rectangle when the values give no width or height that fits.
    QRect windowRect() const;
    // True when the window may start at windowRect(): not maximised, no
    // larger than the available screen area and not wholly outside it.
    bool fitsScreen(const QRect& available) const;
    // Stores a normal window's frame rectangle, or -1 everywhere when maximised.
    void setWindow(const QRect& frame, bool maximized);

    // tabrik.ini beside the program when one is there (a portable
    // installation), otherwise $XDG_CONFIG_HOME/tabrik/tabrik.ini
    // (~/.config/tabrik/tabrik.ini when the variable is unset).
    static QString defaultPath();

    // Reads the file; a missing, unreadable or damaged file gives the defaults.
    void read(const QString& path = defaultPath());
    // Writes every value, keeping anything else the file holds; atomic.
    // A failed write is not reported (false).
    bool write(const QString& path = defaultPath()) const;
};

} // namespace editor
