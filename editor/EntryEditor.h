#pragma once
#include "editor/EditHistory.h"
#include "editor/EditorInput.h"
#include "editor/SoftBreaks.h"

#include <QHash>
#include <QPlainTextEdit>
#include <QTimer>

// The text editor of the main window. It holds plain text only, with one format
// (font, size, styles, text and background colour) for the whole text, so the
// selection-format setters act on the whole text. Colours are 32-bit values:
// &H00BBGGRR for a plain colour, &H800000nn for system colour nn, which the
// editor resolves itself and follows when the desktop's colours change.
//
// Long unbroken lines (a ciphertext is one line of hexadecimal digits) are
// wrapped anywhere, which keeps their layout linear; other texts wrap at word
// boundaries. Lines are held in chunks (see SoftBreaks), so that showing,
// typing and scrolling cost what the visible rows cost; every position,
// length, search, copy and edit here is in terms of the text, never of those
// chunks. Every change of the text, whatever its source, goes through one
// replacement that keeps the chunks in order and records the step for undo.
class EntryEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    enum FindOption { WholeWord = 2, MatchCase = 4 };
    // A run of this many characters without white space switches to wrapping anywhere.
    static constexpr int LongRun = 256;

    explicit EntryEditor(QWidget* parent = nullptr);

    // The plain text, every line break (Enter or Shift+Enter) as "\n".
    QString Text() const;
    // Its length in characters, and whether there is none, without copying it out.
    int length() const;
    bool isEmpty() const;
    // Whether the text has the shape of a ciphertext of either stored form
    // (crypto/CipherShape.h), on one line. Kept up to date with each change, looking only at
    // what changed: it is asked on every keystroke.
    bool holdsCiphertext() const { return m_ciphertext; }
    // Replaces the whole content, with no step to undo; textChanged follows.
    void setText(const QString& text);

    int SelStart() const;
    // Collapses the selection at the position.
    void setSelStart(int position);
    int SelLength() const;
    void setSelLength(int length);

    qint32 SelColor() const { return m_foreColor; }
    // False (and no change) for a value that is no colour.
    bool setSelColor(qint32 colour);
    // Takes the colour as its decimal text.
    bool setSelColor(const QString& decimalText);
    // False (and no change) for a font the display does not have.
    bool setSelFontName(const QString& family);
    // False (and no change) for a size below 1 or above 1638 points.
    bool setSelFontSize(int points);
    void setSelBold(bool on);
    void setSelItalic(bool on);
    void setSelStrikeThru(bool on);
    void setSelUnderline(bool on);

    qint32 BackColor() const { return m_backColor; }
    bool setBackColor(qint32 colour);

    // Searches from character index start to the end; options add up WholeWord
    // and MatchCase. Selects the match and returns its position, or -1.
    int Find(const QString& text, int start, int options);
    void Refresh();

    bool wrapsAnywhere() const { return wordWrapMode() == QTextOption::WrapAnywhere; }
    // How long after a resize, a font change or an edit a ciphertext's chunks
    // are cut again to whole rows.
    void setRecutDelay(int milliseconds) { m_recut.setInterval(milliseconds); }

    // What undo and redo of the keyboard and the context menu do.
    bool canUndo() const { return m_history.canUndo(); }
    bool canRedo() const { return m_history.canRedo(); }
    void undo();
    void redo();
    void cut();

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void changeEvent(QEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    friend class EditorInput;

    // Replaces the text between two text positions and leaves the caret
    // after what was put there; the one way the text changes.
    void replace(int from, int to, const QString& text, EditHistory::Kind kind);
    void replaceSelection(const QString& text, EditHistory::Kind kind);
    void apply(int from, int to, const QString& text);
    void select(int anchor, int position);
    // How the chunks of a text of the length are cut at the editor's width and font.
    SoftBreaks::Cutting cutting(qsizetype textLength) const;
    int charactersPerRow(QChar c) const;
    bool endsRow(QChar c) const;
    void recutSoon();
    void recutNow();
    void applyColours();
    void changeFont(const QFont& font);
    // One of the four styles of the whole text, on or off.
    using FontStyleSetter = void (QFont::*)(bool);
    void setFontStyle(FontStyleSetter setter, bool on);
    void documentChanged(int position, int removed, int added);
    void settleLayout();

    SoftBreaks m_breaks;
    EditHistory m_history;
    EditorInput m_input;
    QTimer m_recut;
    qint32 m_foreColor;
    qint32 m_backColor;
    bool m_ciphertext = false;
    // Set while the document changes in a way that does not change the text.
    bool m_sameText = false;
    // Set while the editor itself changes the text.
    bool m_editing = false;
    mutable QString m_text;
    mutable bool m_textKept = true;
    mutable int m_rowLength = -1;
    mutable qreal m_rowWidth = 0;
    mutable QHash<char16_t, bool> m_endsRow;
};
