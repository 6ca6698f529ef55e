#pragma once
#include <QVector>

class ColourSwatch;
class EntryEditor;
class QWidget;
struct DocumentState;

// The main window's placement, the format state and the two colours, kept in
// the settings store (section "Window") between runs. Both directions keep the
// window on the screen.
class WinSettings {
public:
    WinSettings(QWidget* window, EntryEditor* txtMain, const QVector<ColourSwatch*>& cmdColors,
                DocumentState& doc);

    void LoadWinSettings();
    void SaveWinSettings();

private:
    void keepOnScreen();

    QWidget* m_window;
    EntryEditor* m_txtMain;
    QVector<ColourSwatch*> m_cmdColors;
    DocumentState& m_doc;
};
