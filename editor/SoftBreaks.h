#pragma once
#include <QList>
#include <QPair>
#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <QTextCursor>
#include <functional>

class QFont;
class QTextDocument;

// The editor's document holds no block much longer than ChunkLength
// characters: Qt lays out a whole block as soon as any of it is shown, and a
// ciphertext or a pasted text is one line of millions of characters. A line
// of the text is therefore held in one or more chunks, each one block of the
// document; where two chunks of one line meet is a soft break, a row end on
// the screen that is not part of the text. The chunk after a soft break
// carries a mark in its block's user state, which costs the document nothing
// and no undo step.
//
// Every change of the document goes through replace(), which cuts what it
// inserts into chunks and cuts again the chunks it touches, so that after
// any change:
//  - a soft break lies inside a line, between two chunks of MinChunk to
//    MaxChunk characters (a line of one chunk may be shorter);
//  - in a text that wraps at word boundaries, a chunk before a soft break
//    ends with a space or a tab unless none lies within its last Reach
//    characters, so that no word is cut in two;
//  - in a text that wraps anywhere, shown in a fixed-width font, a chunk
//    before a soft break holds whole rows (after recut(), once the width
//    is known and the text has settled).
//
// Text positions count the characters of the text, a line break as one;
// document positions count the document's characters, soft breaks included.
// A text position at a soft break has two document positions: the end of the
// chunk before it (Before) and the start of the chunk after it (After).
class SoftBreaks {
public:
    static constexpr int ChunkLength = 4096;
    static constexpr int MinChunk = ChunkLength / 2;
    static constexpr int MaxChunk = ChunkLength + MinChunk;
    static constexpr int Reach = ChunkLength - MinChunk;
    enum Side { Before, After };

    // How the chunks of a line are cut: at a space (word wrap) or, when the
    // text wraps anywhere, after whole rows. A row holds rowLength characters
    // (0 when rows differ in length, as in a proportional font), or one fewer
    // where the last of them would be a glyph that reaches past its cell into
    // the margin (as some do in bold or slanted faces).
    struct Cutting {
        bool anywhere = false;
        int rowLength = 0;
        std::function<bool(QChar)> endsRow;
    };

    explicit SoftBreaks(QTextDocument* document) : m_document(document) {}

    static bool isSoft(const QTextBlock& block);
    // Characters that end a line of the text in any of its forms: "\r\n",
    // "\r", "\n", and the separators of lines and paragraphs.
    static bool isLineBreak(QChar c) {
        const char16_t u = c.unicode();
        if (u > u'\r' && u < u'\u2028') // nearly every character: asked of each one
            return false;
        return u == u'\n' || u == u'\r' || u == u'\u2028' || u == u'\u2029' || u == 0xFDD0 || u == 0xFDD1;
    }
    static bool hasLineBreak(QStringView text);
    // Whether every line of the text fits one chunk and every line break is
    // one Qt's plain text makes a block of.
    static bool fitsInLines(QStringView text);

    // Replaces the text between two text positions with `text`, whose line
    // breaks may come in any form, as one change of the document.
    void replace(int from, int to, QStringView text, const Cutting& cutting);
    // Cuts again the lines whose chunks do not hold whole rows; false when none needed it.
    bool recut(const Cutting& cutting);
    // Whether recut() would change anything.
    bool needsRecut(const Cutting& cutting) const;

    int count() const;
    // Whether the text is one line, however many chunks hold it.
    bool isOneLine() const;
    void invalidate() { m_indexed = false; }
    int length() const;

    int toText(int documentPosition) const;
    int toDocument(int textPosition, Side side = After) const;
    bool isSoftBreak(int textPosition) const;
    QChar at(int textPosition) const;

    // The text between two document positions, each line break as "\n".
    QString text(int from, int to) const;
    QString text() const;

    // A word move that goes on through soft breaks inside a word.
    void moveByWord(QTextCursor& cursor, QTextCursor::MoveOperation op,
                    QTextCursor::MoveMode mode = QTextCursor::MoveAnchor) const;
    // Widens a selection made by Qt within one chunk to the whole word or the
    // whole line of the text, as double and triple clicks mean.
    void widenToWords(QTextCursor& cursor) const;
    // The word a double click at the position takes, as Qt takes it in a line held as one block.
    QPair<int, int> wordAt(int textPosition) const;
    void widenToLine(QTextCursor& cursor) const;

    // Gives each chunk Qt has not laid out the number of rows its length
    // fills at the width, so that the scroll bar measures the whole text.
    void estimateRows(const QFont& font, qreal width, bool anywhere) const;

private:
    void index() const;
    static Qt::LayoutDirection lineDirection(QTextBlock chunk);
    void alignDirections(QTextCursor& cursor, QTextBlock first, const QTextBlock& last) const;
    bool replaceInChunk(int from, int to, QStringView text, const Cutting& cutting);
    int textStart(const QTextBlock& block) const { return toText(block.position()); }
    enum class CharacterKind { Space, Punctuation, Word };
    static CharacterKind kindOf(QChar c);
    // Whether a run of one kind of character goes on past the soft break there.
    bool runGoesOn(int textPosition) const;
    // Where the run of characters that meets the position (ending there, or starting there) ends.
    int runEnd(int textPosition, bool forward) const;
    void compact(QString& raw, int from) const;

    QTextDocument* m_document;
    // Document positions of the chunks that follow a soft break, in order.
    mutable QList<int> m_softStarts;
    mutable bool m_indexed = false;
};
