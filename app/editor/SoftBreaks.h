#pragma once
#include <QString>
#include <QStringView>
#include <QTextBlock>
#include <QTextCursor>

class QTextDocument;

// The editor's document keeps no block much longer than ChunkLength
// characters: Qt lays out a whole block as soon as any of it is shown, and a
// ciphertext or a pasted text is one line of millions of characters. A long
// line is therefore held as several blocks; the boundary between two of them
// is a soft break, a display row break that is not part of the text. The block
// after a soft break carries a block format property that marks it.
//
// Text positions count the characters of the text, a line break as one;
// document positions count the document's characters, soft breaks included.
// A text position at a soft break has two document positions: the end of the
// block before it (Before) and the start of the block after it (After).
class SoftBreaks {
public:
    static constexpr int ChunkLength = 4096;
    enum Side { Before, After };

    explicit SoftBreaks(QTextDocument* document) : m_document(document) {}

    static bool isSoft(const QTextBlock& block);
    // The block format for a new block at the cursor, after a soft or a real line break.
    static QTextBlockFormat blockFormat(const QTextCursor& cursor, bool soft);
    // Characters that end a line of the text, as the document reads them.
    static bool isLineBreak(QChar c);
    static bool hasLineBreak(QStringView text);
    // Whether some line of the text is too long to be one block.
    static bool needsChunks(QStringView text);
    // Replaces the selection with text as one edit: long lines are cut at soft
    // breaks, each line break becomes a block that is not marked soft.
    static void insert(QTextCursor& cursor, QStringView text);

    // The number of soft breaks in the document, counted again after a change.
    int count() const;
    void invalidate() { m_count = -1; }
    int length() const;

    int toText(int documentPosition) const;
    int toDocument(int textPosition, Side side = After) const;
    bool isBoundary(int textPosition) const;
    QChar at(int textPosition) const;

    // The text between two document positions, each line break as "\n".
    QString text(int from, int to) const;
    QString text() const;
    // Whether every character between the document positions is a hexadecimal digit.
    bool allHexDigits(int from, int to) const;

    // Removes the text between two text positions, with the soft breaks at its
    // ends, so that no empty block is left between two soft breaks.
    void remove(int from, int to) const;
    // A word move that goes on through soft breaks inside a word.
    void moveByWord(QTextCursor& cursor, QTextCursor::MoveOperation op,
                    QTextCursor::MoveMode mode = QTextCursor::MoveAnchor) const;
    // Widens a selection made by Qt within one block to the whole word or the
    // whole line of the text, as double and triple clicks mean.
    void extendToWords(QTextCursor& cursor) const;
    void extendToLine(QTextCursor& cursor) const;

private:
    bool insideWord(int documentPosition) const;
    void compact(QString& raw, int from) const;

    QTextDocument* m_document;
    mutable int m_count = -1;
};
