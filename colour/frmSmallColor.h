#pragma once
#include <QDialog>
#include <QVector>

class EntryEditor;
class ColourSwatch;

// The colour picker. Modeless and owned by the main window; Apply puts the
// colour on the whole text (PassDex 0) or the editor's background (otherwise)
// and on the swatch with index PassDex.
class frmSmallColor : public QDialog {
    Q_OBJECT
public:
    // Loads the picker when it is not open (fresh state), shows it and brings it
    // forward. The caller then sets PassDex.
    static frmSmallColor* open(QWidget* owner, EntryEditor* txtMain, const QVector<ColourSwatch*>& swatches);
    // The open picker, or null.
    static frmSmallColor* loaded();

    qint16 PassDex = 0;

private:
    frmSmallColor(QWidget* owner, EntryEditor* txtMain, const QVector<ColourSwatch*>& swatches);
    // Controls, state and handlers follow here.
};
