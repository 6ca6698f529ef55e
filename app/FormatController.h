#pragma once
#include <QObject>
#include <QVector>

class ColourSwatch;
class EntryEditor;
class QComboBox;
class QListWidget;
class QToolButton;
class QWidget;
struct DocumentState;

// The format controls of the main window's top row (font list, size box, the
// four style buttons, the two colour swatches) and the one format they put on
// the whole text. A change to a control, by the user or by the program, runs
// ReadFormatControls at once; several commands rely on that.
class FormatController : public QObject {
    Q_OBJECT
public:
    static constexpr int StandardSizeIndex = 6; // "10"
    // Style button indexes, in the order of the button array.
    enum Style { Bold = 0, Underline = 1, Italic = 2, Strike = 3 };

    // Creates the controls on `row` (the main window's client area).
    FormatController(QWidget* row, EntryEditor* txtMain, DocumentState& doc, QObject* parent = nullptr);

    void ApplyFormat();
    void ReadFormatControls();
    void FillFontControls();
    void selectStandardSize();
    void NextFont();
    void HideText();

    const QVector<ColourSwatch*>& cmdColors() const { return m_cmdColors; }

signals:
    // A colour swatch was clicked (0: text colour, 1: background).
    void colourSwatchClicked(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fontListFocus(bool gained);

    QWidget* m_row;
    EntryEditor* m_txtMain;
    DocumentState& m_doc;
    QListWidget* m_lstFont;
    QComboBox* m_cboFSize;
    QVector<QToolButton*> m_chkFnts;
    QVector<ColourSwatch*> m_cmdColors;
};
