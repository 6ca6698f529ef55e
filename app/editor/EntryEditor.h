#pragma once
#include "app/editor/SoftBreakEditing.h"
#include "app/editor/SoftBreaks.h"

#include <QPlainTextEdit>

// The text editor of the main window. It holds plain text only, with one format
// (font, size, styles, text and background colour) for the whole text, so the
// selection-format setters act on the whole text. Colours are 32-bit values:
// &H00BBGGRR for a plain colour, &H800000nn for system colour nn, which the
// editor resolves itself and follows when the desktop's colours change.
//
// Long unbroken lines (a ciphertext is one line of hexadecimal digits) are
// wrapped anywhere, which keeps their layout linear; other texts wrap at word
// boundaries. A line longer than SoftBreaks::ChunkLength is held in several
// blocks (see SoftBreaks), so that showing, typing and scrolling cost what the
// visible rows cost; every position, length, search, copy and edit here is in
// terms of the text, never of those blocks.
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
    // Whether the text has the shape of a ciphertext ("737" and hexadecimal
    // digits on one line). Kept up to date with each change, looking only at
    // what changed: it is asked on every keystroke.
    bool holdsCiphertext() const { return m_ciphertext; }
    // Replaces the whole content; textChanged follows.
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

protected:
    QMimeData* createMimeDataFromSelection() const override;
    void insertFromMimeData(const QMimeData* source) override;
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void applyColours();
    void changeFont(const QFont& font);
    void documentChanged(int position, int removed, int added);
    void insertPlain(const QString& text);
    void settleLayout();

    SoftBreaks m_breaks;
    SoftBreakEditing m_editing;
    qint32 m_foreColor;
    qint32 m_backColor;
    bool m_ciphertext = false;
    bool m_settingText = false;
    mutable QString m_text;
    mutable bool m_textKept = true;
};
