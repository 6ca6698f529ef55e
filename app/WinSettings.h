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

private:
    void keepOnScreen();

    QWidget* m_window;
    EntryEditor* m_txtMain;
    QVector<ColourSwatch*> m_cmdColors;
    DocumentState& m_doc;
    std::function<QSize()> m_smallestUsable;
};
