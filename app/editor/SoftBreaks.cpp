#include "app/editor/SoftBreaks.h"

#include "crypto/HexCodec.h"

#include <QTextDocument>

namespace {

constexpr int kSoftProperty = QTextFormat::UserProperty + 0x737;

// Where the chunk that starts at `from` ends: after a space in its second
// half, so that the break falls where a word wrap could have put a row end;
// otherwise at the chunk length, never inside a surrogate pair or before a
// combining mark.
qsizetype chunkEnd(QStringView text, qsizetype from, qsizetype lineEnd) {
    if (lineEnd - from <= SoftBreaks::ChunkLength)
        return lineEnd;
    const qsizetype limit = from + SoftBreaks::ChunkLength;
    for (qsizetype i = limit; i > from + SoftBreaks::ChunkLength / 2; --i) {
        if (text[i - 1] == u' ' || text[i - 1] == u'\t')
            return i;
    }
    qsizetype cut = limit;
    while (cut > from + 1 && (text[cut].isLowSurrogate() || text[cut].isMark()))
        --cut;
    return cut;
}

qsizetype lineEndFrom(QStringView text, qsizetype from) {
    while (from < text.size() && !SoftBreaks::isLineBreak(text[from]))
        ++from;
    return from;
}

// Short lines and their line breaks, inserted as they stand. A block made by
// insertText takes the format of the block it splits, so the first line
// break after a soft break is made by hand.
void insertLines(QTextCursor& cursor, QStringView lines) {
    if (lines.isEmpty())
        return;
    if (SoftBreaks::isSoft(cursor.block())) {
        const qsizetype end = lineEndFrom(lines, 0);
        if (end < lines.size()) {
            if (end > 0)
                cursor.insertText(lines.first(end).toString());
            cursor.insertBlock(SoftBreaks::blockFormat(cursor, false), cursor.charFormat());
            const bool crlf = lines[end] == u'\r' && end + 1 < lines.size() && lines[end + 1] == u'\n';
            lines = lines.sliced(end + (crlf ? 2 : 1));
            if (lines.isEmpty())
                return;
        }
    }
    cursor.insertText(lines.toString());
}

} // namespace

bool SoftBreaks::isSoft(const QTextBlock& block) {
    return block.blockFormat().boolProperty(kSoftProperty);
}

QTextBlockFormat SoftBreaks::blockFormat(const QTextCursor& cursor, bool soft) {
    QTextBlockFormat format = cursor.blockFormat();
    if (soft)
        format.setProperty(kSoftProperty, true);
    else
        format.clearProperty(kSoftProperty);
    return format;
}

bool SoftBreaks::isLineBreak(QChar c) {
    // The characters that QTextCursor::insertText turns into new blocks.
    const char16_t u = c.unicode();
    return u == u'\n' || u == u'\r' || u == QChar::ParagraphSeparator || u == 0xFDD0 || u == 0xFDD1;
}

bool SoftBreaks::hasLineBreak(QStringView text) {
    return lineEndFrom(text, 0) < text.size();
}

bool SoftBreaks::needsChunks(QStringView text) {
    qsizetype run = 0;
    for (const QChar c : text) {
        if (isLineBreak(c))
            run = 0;
        else if (++run > ChunkLength)
            return true;
    }
    return false;
}

void SoftBreaks::insert(QTextCursor& cursor, QStringView text) {
    cursor.beginEditBlock();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    qsizetype pending = 0; // start of the short lines not yet inserted
    qsizetype line = 0;
    while (line <= text.size()) {
        const qsizetype end = lineEndFrom(text, line);
        if (end - line > ChunkLength) {
            insertLines(cursor, text.sliced(pending, line - pending));
            for (qsizetype from = line; from < end;) {
                const qsizetype to = chunkEnd(text, from, end);
                if (from > line)
                    cursor.insertBlock(blockFormat(cursor, true), cursor.charFormat());
                cursor.insertText(text.sliced(from, to - from).toString());
                from = to;
            }
            pending = end;
        }
        if (end == text.size())
            break;
        line = end + (text[end] == u'\r' && end + 1 < text.size() && text[end + 1] == u'\n' ? 2 : 1);
    }
    insertLines(cursor, text.sliced(pending));
    cursor.endEditBlock();
}

int SoftBreaks::count() const {
    if (m_count < 0) {
        m_count = 0;
        for (QTextBlock block = m_document->begin().next(); block.isValid(); block = block.next())
            m_count += isSoft(block);
    }
    return m_count;
}

int SoftBreaks::length() const {
    return m_document->characterCount() - 1 - count();
}

int SoftBreaks::toText(int documentPosition) const {
    if (count() == 0)
        return documentPosition;
    const int target = m_document->findBlock(documentPosition).position();
    int soft = 0;
    for (QTextBlock block = m_document->begin().next(); block.isValid() && block.position() <= target;
         block = block.next())
        soft += isSoft(block);
    return documentPosition - soft;
}

int SoftBreaks::toDocument(int textPosition, Side side) const {
    if (count() == 0)
        return qBound(0, textPosition, m_document->characterCount() - 1);
    int start = 0; // text position of the block's first character
    for (QTextBlock block = m_document->begin(); block.isValid();) {
        const int end = start + block.length() - 1;
        const QTextBlock next = block.next();
        if (textPosition <= end) {
            if (textPosition < end || side == Before || !next.isValid() || !isSoft(next))
                return block.position() + qMax(0, textPosition - start);
        }
        if (!next.isValid())
            break;
        start = end + (isSoft(next) ? 0 : 1);
        block = next;
    }
    return m_document->characterCount() - 1;
}

bool SoftBreaks::isBoundary(int textPosition) const {
    return count() > 0 && toDocument(textPosition, Before) != toDocument(textPosition, After);
}

QChar SoftBreaks::at(int textPosition) const {
    return m_document->characterAt(toDocument(textPosition));
}

void SoftBreaks::compact(QString& raw, int from) const {
    if (count() > 0) {
        // Soft breaks are not text: close the gaps they leave, in place.
        QChar* data = raw.data();
        qsizetype out = 0;
        qsizetype in = 0;
        for (QTextBlock block = m_document->findBlock(from).next();
             block.isValid() && block.position() - 1 - from < raw.size(); block = block.next()) {
            const qsizetype separator = block.position() - 1 - from;
            if (separator < 0 || !isSoft(block))
                continue;
            std::copy(data + in, data + separator, data + out);
            out += separator - in;
            in = separator + 1;
        }
        std::copy(data + in, data + raw.size(), data + out);
        raw.truncate(out + (raw.size() - in));
    }
    // Enter ends a paragraph and Shift+Enter a line within one; both are line breaks of the text.
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    raw.replace(QChar::LineSeparator, QLatin1Char('\n'));
}

QString SoftBreaks::text(int from, int to) const {
    QTextCursor cursor(m_document);
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    QString raw = cursor.selectedText();
    compact(raw, qMin(from, to));
    return raw;
}

QString SoftBreaks::text() const {
    // toRawText keeps non-breaking spaces, which toPlainText turns into spaces.
    QString raw = m_document->toRawText();
    compact(raw, 0);
    return raw;
}

bool SoftBreaks::allHexDigits(int from, int to) const {
    for (QTextBlock block = m_document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const QString text = block.text();
        const qsizetype first = qMax(0, from - block.position());
        const qsizetype last = qMin<qsizetype>(to - block.position(), text.size());
        for (qsizetype i = first; i < last; ++i) {
            if (!crypto::HexCodec::isHexDigit(text[i].unicode()))
                return false;
        }
    }
    return true;
}

void SoftBreaks::remove(int from, int to) const {
    QTextCursor cursor(m_document);
    cursor.setPosition(isBoundary(from) ? toDocument(from, Before) : toDocument(from));
    cursor.setPosition(isBoundary(to) ? toDocument(to, After) : toDocument(to), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

bool SoftBreaks::insideWord(int documentPosition) const {
    const int text = toText(documentPosition);
    return text > 0 && text < length() && isBoundary(text) && at(text - 1).isLetterOrNumber() &&
           at(text).isLetterOrNumber();
}

void SoftBreaks::moveByWord(QTextCursor& cursor, QTextCursor::MoveOperation op,
                            QTextCursor::MoveMode mode) const {
    const bool backward =
        op == QTextCursor::PreviousWord || op == QTextCursor::WordLeft || op == QTextCursor::StartOfWord;
    for (int step = 0; step <= m_document->blockCount(); ++step) {
        const int from = cursor.position();
        cursor.movePosition(op, mode);
        const int position = cursor.position();
        const int text = toText(position);
        // Crossing only a soft break is no move in the text.
        const bool stuck = text == toText(from);
        if (!stuck && !insideWord(position))
            return;
        const int further = toDocument(text, backward ? Before : After);
        if (further == position && position == from)
            return;
        cursor.setPosition(further, mode);
    }
}

void SoftBreaks::extendToWords(QTextCursor& cursor) const {
    const bool forward = cursor.position() >= cursor.anchor();
    QTextCursor probe(m_document);
    probe.setPosition(cursor.selectionStart());
    if (insideWord(probe.position())) {
        probe.setPosition(toDocument(toText(probe.position()), Before));
        moveByWord(probe, QTextCursor::StartOfWord);
    }
    const int start = probe.position();
    probe.setPosition(cursor.selectionEnd());
    if (insideWord(probe.position())) {
        probe.setPosition(toDocument(toText(probe.position()), After));
        moveByWord(probe, QTextCursor::EndOfWord);
    }
    const int end = probe.position();
    cursor.setPosition(forward ? start : end);
    cursor.setPosition(forward ? end : start, QTextCursor::KeepAnchor);
}

void SoftBreaks::extendToLine(QTextCursor& cursor) const {
    const bool forward = cursor.position() >= cursor.anchor();
    QTextBlock first = m_document->findBlock(cursor.selectionStart());
    while (isSoft(first) && first.previous().isValid())
        first = first.previous();
    QTextBlock last = m_document->findBlock(qMax(cursor.selectionStart(), cursor.selectionEnd() - 1));
    while (last.next().isValid() && isSoft(last.next()))
        last = last.next();
    const int start = first.position();
    // The line with its line break, as Qt selects a block with its separator.
    const int end = last.next().isValid() ? last.next().position() : last.position() + last.length() - 1;
    cursor.setPosition(forward ? start : end);
    cursor.setPosition(forward ? end : start, QTextCursor::KeepAnchor);
}
