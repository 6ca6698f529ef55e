#pragma once
#include <QSize>
#include <QVector>
#include <functional>

class ColourSwatch;
class EntryEditor;
class QWidget;
struct DocumentState;

// The main window's placement, the format state and the two colours, kept in
// the settings store (section "Window") between runs. Both directions keep the
// window on the screen, at a size that can be used.
class WinSettings {
public:
    // `smallestUsable` gives the size below which the window would hide some of its controls.
    WinSettings(QWidget* window, EntryEditor* txtMain, const QVector<ColourSwatch*>& cmdColors,
                DocumentState& doc, std::function<QSize()> smallestUsable);

    void LoadWinSettings();
    void SaveWinSettings();

    // The window's placement in twips: left and top of its frame, width and height of the window.
    struct Placement {
        double left, top, width, height;
    };

private:
    // Moves and sizes the window onto the screen and to a usable size, and
    // returns that placement. With `enlarge` false a window the user made
    // smaller than usable keeps its size; the placement returned does not.
    Placement keepOnScreen(bool enlarge);

    QWidget* m_window;
    EntryEditor* m_txtMain;
    QVector<ColourSwatch*> m_cmdColors;
    DocumentState& m_doc;
    std::function<QSize()> m_smallestUsable;
};
