#include "editor/SoftBreaks.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QTextBoundaryFinder>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace {

// The user state of a chunk's block: the chunk starts a line, or follows a soft break.
constexpr int kLineStart = 0;
constexpr int kAfterSoftBreak = 0x737;

bool isSpace(QChar c) {
    return c == u' ' || c == u'\t';
}

bool endsWithSpace(const QString& chunk) {
    return !chunk.isEmpty() && isSpace(chunk.back());
}

qsizetype lineEndFrom(QStringView text, qsizetype from) {
    while (from < text.size() && !SoftBreaks::isLineBreak(text[from]))
        ++from;
    return from;
}

qsizetype afterLineBreak(QStringView text, qsizetype at) {
    return at + (text[at] == u'\r' && at + 1 < text.size() && text[at + 1] == u'\n' ? 2 : 1);
}

// Whether a cut between at - 1 and at keeps every character as the eye sees
// it whole, judged from the characters around it.
bool isCharacterBoundary(QStringView text, qsizetype at) {
    if (text[at].unicode() < 0x300 && text[at - 1].unicode() < 0x300)
        return true;
    const qsizetype from = qMax<qsizetype>(0, at - 16);
    const QStringView around = text.sliced(from, qMin<qsizetype>(text.size() - from, 32));
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, around.data(), around.size());
    finder.setPosition(at - from);
    return finder.isAtBoundary();
}

// Where a row of a text that wraps anywhere ends, as the layout fills it.
qsizetype rowEnd(QStringView text, qsizetype start, const SoftBreaks::Cutting& cutting) {
    const qsizetype end = start + cutting.rowLength;
    return end <= text.size() && cutting.endsRow && !cutting.endsRow(text[end - 1]) ? end - 1 : end;
}

// Where the chunk of a line that starts at `from` ends. The rest of the line
// is one chunk when it fits; otherwise the chunk is ChunkLength long, or
// shorter: after its last space within reach for a word wrap, after its last
// whole row for a wrap anywhere. Whatever is left is never shorter than
// MinChunk, and a cut never splits a character as the eye sees it.
qsizetype chunkEnd(QStringView line, qsizetype from, const SoftBreaks::Cutting& cutting) {
    if (line.size() - from <= SoftBreaks::MaxChunk)
        return line.size();
    qsizetype cut = from + SoftBreaks::ChunkLength;
    if (!cutting.anywhere) {
        for (qsizetype i = cut; i > from + SoftBreaks::MinChunk; --i) {
            if (isSpace(line[i - 1]) && isCharacterBoundary(line, i))
                return i;
        }
    } else if (cutting.rowLength > 0 && cutting.rowLength <= SoftBreaks::MinChunk) {
        for (qsizetype row = from;;) {
            const qsizetype next = rowEnd(line, row, cutting);
            if (next > from + SoftBreaks::ChunkLength) {
                cut = row;
                break;
            }
            row = next;
        }
    }
    // A mark, the second half of a pair or the rest of an emoji sequence goes
    // with the character before it: the cut moves forward, which keeps a row
    // whole, while enough is left for the next chunk.
    const auto joined = [&](qsizetype at) { return !isCharacterBoundary(line, at); };
    qsizetype forward = cut;
    while (joined(forward) && line.size() - forward > SoftBreaks::MinChunk)
        ++forward;
    if (!joined(forward))
        return forward;
    while (cut > from + SoftBreaks::MinChunk && joined(cut))
        --cut;
    return cut;
}

// Inserts lines at the cursor, which stands at the start of an empty chunk,
// each cut into chunks; `softBefore` tells whether that chunk follows a soft break.
void insertLines(QTextCursor& cursor, QStringView text, const SoftBreaks::Cutting& cutting, bool softBefore) {
    cursor.block().setUserState(softBefore ? kAfterSoftBreak : kLineStart);
    for (qsizetype line = 0;;) {
        const qsizetype end = lineEndFrom(text, line);
        const QStringView lineText = text.sliced(line, end - line);
        for (qsizetype from = 0;;) {
            const qsizetype to = chunkEnd(lineText, from, cutting);
            if (to > from)
                cursor.insertText(lineText.sliced(from, to - from).toString(), QTextCharFormat());
            from = to;
            if (from >= lineText.size())
                break;
            cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
            cursor.block().setUserState(kAfterSoftBreak);
        }
        if (end >= text.size())
            return;
        line = afterLineBreak(text, end);
        cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
        cursor.block().setUserState(kLineStart);
    }
}

bool holdsWholeRows(const QTextBlock& block, const SoftBreaks::Cutting& cutting) {
    const QString text = block.text();
    qsizetype row = 0;
    while (row < text.size())
        row = rowEnd(text, row, cutting);
    return row == text.size();
}

} // namespace

bool SoftBreaks::isSoft(const QTextBlock& block) {
    return block.userState() == kAfterSoftBreak;
}

bool SoftBreaks::hasLineBreak(QStringView text) {
    return lineEndFrom(text, 0) < text.size();
}

bool SoftBreaks::fitsInLines(QStringView text) {
    qsizetype run = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\n' || u == u'\r' || u == u'\u2029') {
            run = 0;
        } else if (isLineBreak(c) || ++run > MaxChunk) {
            return false;
        }
    }
    return true;
}

void SoftBreaks::index() const {
    if (m_indexed)
        return;
    m_softStarts.clear();
    for (QTextBlock block = m_document->begin().next(); block.isValid(); block = block.next()) {
        if (isSoft(block))
            m_softStarts.append(block.position());
    }
    m_indexed = true;
}

int SoftBreaks::count() const {
    index();
    return int(m_softStarts.size());
}

bool SoftBreaks::isOneLine() const {
    return m_document->blockCount() - 1 == count();
}

int SoftBreaks::length() const {
    return m_document->characterCount() - 1 - count();
}

int SoftBreaks::toText(int documentPosition) const {
    index();
    const auto after = std::upper_bound(m_softStarts.cbegin(), m_softStarts.cend(), documentPosition);
    return documentPosition - int(after - m_softStarts.cbegin());
}

int SoftBreaks::toDocument(int textPosition, Side side) const {
    index();
    const int last = m_document->characterCount() - 1;
    if (m_softStarts.isEmpty())
        return qBound(0, textPosition, last);
    // The soft break before chunk j lies at text position m_softStarts[j] - j - 1.
    qsizetype low = 0;
    qsizetype high = m_softStarts.size();
    while (low < high) {
        const qsizetype middle = (low + high) / 2;
        if (m_softStarts[middle] - middle - 1 < textPosition)
            low = middle + 1;
        else
            high = middle;
    }
    const bool atBreak = low < m_softStarts.size() && m_softStarts[low] - low - 1 == textPosition;
    return qBound(0, textPosition + int(low) + (atBreak && side == After ? 1 : 0), last);
}

bool SoftBreaks::isSoftBreak(int textPosition) const {
    return count() > 0 && toDocument(textPosition, Before) != toDocument(textPosition, After);
}

QChar SoftBreaks::at(int textPosition) const {
    return m_document->characterAt(toDocument(textPosition));
}

void SoftBreaks::compact(QString& raw, int from) const {
    index();
    if (!m_softStarts.isEmpty()) {
        // Soft breaks are not text: close the gaps they leave, in place.
        QChar* data = raw.data();
        qsizetype out = 0;
        qsizetype in = 0;
        for (auto soft = std::upper_bound(m_softStarts.cbegin(), m_softStarts.cend(), from);
             soft != m_softStarts.cend() && *soft - 1 - from < raw.size(); ++soft) {
            const qsizetype mark = *soft - 1 - from; // the soft break's block end
            std::copy(data + in, data + mark, data + out);
            out += mark - in;
            in = mark + 1;
        }
        std::copy(data + in, data + raw.size(), data + out);
        raw.truncate(out + (raw.size() - in));
    }
    raw.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
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

bool SoftBreaks::replaceInChunk(int from, int to, QStringView text, const Cutting& cutting) {
    // Within one chunk, away from its soft breaks and keeping its length in
    // bounds, the change is Qt's own and touches nothing else.
    if (text.size() > MaxChunk || hasLineBreak(text))
        return false;
    const int documentFrom = toDocument(from, After);
    const int documentTo = from == to ? documentFrom : toDocument(to, Before);
    const QTextBlock block = m_document->findBlock(documentFrom);
    if (m_document->findBlock(documentTo) != block)
        return false;
    const int size = block.length() - 1;
    const bool softBefore = isSoft(block);
    const bool softAfter = isSoft(block.next());
    if ((softBefore && documentFrom == block.position()) ||
        (softAfter && documentTo == block.position() + size))
        return false;
    const qsizetype changed = size - (documentTo - documentFrom) + text.size();
    if (changed > MaxChunk || ((softBefore || softAfter) && changed < MinChunk))
        return false;
    // A chunk cut inside a word is cut again as soon as it changes.
    if (softAfter && !cutting.anywhere && !endsWithSpace(block.text()))
        return false;
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    cursor.setPosition(documentFrom);
    cursor.setPosition(documentTo, QTextCursor::KeepAnchor);
    if (text.isEmpty())
        cursor.removeSelectedText();
    else
        cursor.insertText(text.toString(), QTextCharFormat());
    alignDirections(cursor, cursor.block(), cursor.block());
    invalidate();
    cursor.endEditBlock();
    return true;
}

void SoftBreaks::replace(int from, int to, QStringView text, const Cutting& cutting) {
    const int end = length();
    from = qBound(0, from, end);
    to = qBound(from, to, end);
    if (from == to && text.isEmpty())
        return;
    if (replaceInChunk(from, to, text, cutting))
        return;
    // Otherwise the chunks around the change are cut again with it, from the
    // chunk before it to the chunk after it, so that the soft breaks at either
    // end of that span keep the characters they lie between. Where what is
    // next to such a soft break would be too short a chunk, the span takes in
    // the chunk beyond.
    QTextBlock first = m_document->findBlock(toDocument(from, Before));
    QTextBlock last = m_document->findBlock(toDocument(to, After));
    QString prefix = first.text().left(toDocument(from, Before) - first.position());
    QString suffix = last.text().mid(toDocument(to, After) - last.position());
    const qsizetype firstBreak = lineEndFrom(text, 0);
    const bool oneLine = firstBreak == text.size();
    qsizetype lastLine = oneLine ? 0 : text.size();
    while (lastLine > 0 && !isLineBreak(text[lastLine - 1]))
        --lastLine;
    const auto head = [&] { return prefix.size() + firstBreak + (oneLine ? suffix.size() : 0); };
    const auto tail = [&] {
        return suffix.size() + (text.size() - lastLine) + (oneLine ? prefix.size() : 0);
    };
    while (isSoft(first) && head() < MinChunk) {
        first = first.previous();
        prefix.prepend(first.text());
    }
    while (isSoft(last.next()) && tail() < MinChunk) {
        last = last.next();
        suffix += last.text();
    }
    // A long text set into an empty document is not copied once more.
    QString span;
    if (!prefix.isEmpty() || !suffix.isEmpty()) {
        span.reserve(prefix.size() + text.size() + suffix.size());
        span += prefix;
        span += text;
        span += suffix;
    }

    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    const bool softBefore = isSoft(first);
    const int start = first.position();
    cursor.setPosition(start);
    cursor.setPosition(last.position() + last.length() - 1, QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    insertLines(cursor, span.isNull() ? text : QStringView(span), cutting, softBefore);
    alignDirections(cursor, m_document->findBlock(start), cursor.block());
    invalidate();
    cursor.endEditBlock();
}

Qt::LayoutDirection SoftBreaks::lineDirection(QTextBlock chunk) {
    // As Qt decides a paragraph's: by its first letter of a strong direction.
    for (; chunk.isValid(); chunk = chunk.next()) {
        const QString text = chunk.text();
        for (const QChar c : text) {
            const QChar::Direction direction = c.direction();
            if (direction == QChar::DirL)
                return Qt::LeftToRight;
            if (direction == QChar::DirR || direction == QChar::DirAL)
                return Qt::RightToLeft;
        }
        if (!isSoft(chunk.next()))
            break;
    }
    return Qt::LayoutDirectionAuto;
}

void SoftBreaks::alignDirections(QTextCursor& cursor, QTextBlock first, const QTextBlock& last) const {
    // Each chunk of a line lays itself out as a paragraph of its own, and
    // would take its direction from its own first letters: the chunks of a
    // line of several take the line's. The chunks from `first` to `last` just
    // changed; the rest of a line is looked at when its direction turned, or
    // when the chunks after `last` (which, once a line break is taken out,
    // followed another line) are laid out in another.
    const int from = first.position();
    const int to = last.position();
    const int caret = cursor.position();
    const QTextBlock tail = last.next();
    while (isSoft(first))
        first = first.previous();
    while (first.isValid() && first.position() <= to) {
        const Qt::LayoutDirection direction =
            isSoft(first.next()) ? lineDirection(first) : Qt::LayoutDirectionAuto;
        const bool turned = first.blockFormat().layoutDirection() != direction ||
                            (isSoft(tail) && tail.blockFormat().layoutDirection() != direction);
        QTextBlock chunk = first;
        do {
            const bool changed = chunk.position() >= from && chunk.position() <= to;
            if ((turned || changed) && chunk.blockFormat().layoutDirection() != direction) {
                QTextBlockFormat format;
                format.setLayoutDirection(direction);
                cursor.setPosition(chunk.position());
                cursor.setBlockFormat(format);
            }
            chunk = chunk.next();
        } while (isSoft(chunk));
        first = chunk;
    }
    cursor.setPosition(caret);
}

bool SoftBreaks::needsRecut(const Cutting& cutting) const {
    if (!cutting.anywhere || cutting.rowLength <= 0 || count() == 0)
        return false;
    return std::any_of(m_softStarts.cbegin(), m_softStarts.cend(), [&](int start) {
        return !holdsWholeRows(m_document->findBlock(start).previous(), cutting);
    });
}

bool SoftBreaks::recut(const Cutting& cutting) {
    if (!needsRecut(cutting))
        return false;
    // Each line from its first chunk that does not end at a row's end.
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    for (QTextBlock block = m_document->begin(); block.isValid();) {
        QTextBlock misfit;
        QTextBlock end = block;
        QString rest;
        do {
            end = block;
            if (!misfit.isValid() && isSoft(block.next()) && !holdsWholeRows(block, cutting))
                misfit = block;
            if (misfit.isValid())
                rest += block.text();
            block = block.next();
        } while (isSoft(block));
        if (!misfit.isValid())
            continue;
        const bool softBefore = isSoft(misfit);
        cursor.setPosition(misfit.position());
        cursor.setPosition(end.position() + end.length() - 1, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
        const int start = cursor.position();
        insertLines(cursor, rest, cutting, softBefore);
        alignDirections(cursor, m_document->findBlock(start), cursor.block());
        block = m_document->findBlock(cursor.position()).next();
    }
    invalidate();
    cursor.endEditBlock();
    return true;
}

SoftBreaks::CharacterKind SoftBreaks::kindOf(QChar c) {
    // The classes Qt's word moves tell apart.
    switch (c.unicode()) {
    case u'.':
    case u',':
    case u'?':
    case u'!':
    case u'@':
    case u'#':
    case u'$':
    case u':':
    case u';':
    case u'-':
    case u'<':
    case u'>':
    case u'[':
    case u']':
    case u'(':
    case u')':
    case u'{':
    case u'}':
    case u'=':
    case u'/':
    case u'+':
    case u'%':
    case u'&':
    case u'^':
    case u'*':
    case u'\'':
    case u'"':
    case u'`':
    case u'~':
    case u'|':
    case u'\\':
        return CharacterKind::Punctuation;
    default:
        return c.isSpace() ? CharacterKind::Space : CharacterKind::Word;
    }
}

bool SoftBreaks::runGoesOn(int textPosition) const {
    if (!isSoftBreak(textPosition))
        return false;
    const CharacterKind before = kindOf(at(textPosition - 1));
    return before != CharacterKind::Space && before == kindOf(at(textPosition));
}

void SoftBreaks::moveByWord(QTextCursor& cursor, QTextCursor::MoveOperation op,
                            QTextCursor::MoveMode mode) const {
    // Qt's move, made chunk by chunk: where it stops only because a chunk
    // ends (a run of one kind of character, or the spaces after a word, goes
    // on past the soft break), it goes on from the other side.
    for (int step = 0; step <= m_document->blockCount(); ++step) {
        const int from = cursor.position();
        if (!cursor.movePosition(op, mode) && cursor.position() == from)
            return;
        // Which way the move went in the text: on the screen, right to left
        // text turns the arrows round.
        const bool backward = cursor.position() < from;
        const int text = toText(cursor.position());
        // Crossing only a soft break is no move in the text.
        const bool stuck = text == toText(from);
        if (!stuck && !(isSoftBreak(text) && (kindOf(at(text)) == CharacterKind::Space || runGoesOn(text))))
            return;
        cursor.setPosition(toDocument(text, backward ? Before : After), mode);
    }
}

int SoftBreaks::runEnd(int textPosition, bool forward) const {
    // Over the soft breaks of a line, while the characters are of one kind.
    const CharacterKind kind = kindOf(at(forward ? textPosition - 1 : textPosition));
    const int start = toDocument(textPosition, forward ? Before : After);
    QTextBlock block = m_document->findBlock(start);
    qsizetype i = start - block.position();
    while (true) {
        const QString text = block.text();
        if (forward) {
            while (i < text.size() && kindOf(text[i]) == kind)
                ++i;
            if (i < text.size() || !isSoft(block.next()))
                return toText(block.position() + int(i));
            block = block.next();
            i = 0;
        } else {
            while (i > 0 && kindOf(text[i - 1]) == kind)
                --i;
            if (i > 0 || !isSoft(block))
                return toText(block.position() + int(i));
            block = block.previous();
            i = block.length() - 1;
        }
    }
}

QPair<int, int> SoftBreaks::wordAt(int textPosition) const {
    // Qt's own choice in the characters around the position, held as one
    // block; a run of one kind of character that goes on past them is taken whole.
    constexpr int kAround = 64;
    QTextBlock first = m_document->findBlock(toDocument(textPosition));
    while (isSoft(first))
        first = first.previous();
    QTextBlock last = m_document->findBlock(toDocument(textPosition));
    while (isSoft(last.next()))
        last = last.next();
    const int lineStart = toText(first.position());
    const int lineEnd = toText(last.position() + last.length() - 1);
    const int from = qMax(lineStart, textPosition - kAround);
    const int to = qMin(lineEnd, textPosition + kAround);
    QTextDocument around(text(toDocument(from, After), toDocument(to, Before)));
    QTextCursor cursor(&around);
    cursor.setPosition(textPosition - from);
    cursor.select(QTextCursor::WordUnderCursor);
    int start = from + cursor.selectionStart();
    int end = from + cursor.selectionEnd();
    if (end > start && start == from && from > lineStart)
        start = runEnd(start, false);
    if (end > start && end == to && to < lineEnd)
        end = runEnd(end, true);
    return {start, end};
}

void SoftBreaks::widenToWords(QTextCursor& cursor) const {
    // Qt selects the word under the pointer within one chunk; a word that
    // goes on past a soft break is taken whole.
    const bool forward = cursor.position() >= cursor.anchor();
    int start = toText(cursor.selectionStart());
    int end = toText(cursor.selectionEnd());
    if (end > start && runGoesOn(start))
        start = runEnd(start, false);
    if (end > start && runGoesOn(end))
        end = runEnd(end, true);
    const int documentStart = toDocument(start, After);
    const int documentEnd = toDocument(end, Before);
    cursor.setPosition(forward ? documentStart : documentEnd);
    cursor.setPosition(forward ? documentEnd : documentStart, QTextCursor::KeepAnchor);
}

void SoftBreaks::widenToLine(QTextCursor& cursor) const {
    const bool forward = cursor.position() >= cursor.anchor();
    QTextBlock first = m_document->findBlock(cursor.selectionStart());
    while (isSoft(first))
        first = first.previous();
    QTextBlock last = m_document->findBlock(qMax(cursor.selectionStart(), cursor.selectionEnd() - 1));
    while (isSoft(last.next()))
        last = last.next();
    const int start = first.position();
    // The line with its line break, as Qt selects a block with its separator.
    const int end = last.next().isValid() ? last.next().position() : last.position() + last.length() - 1;
    cursor.setPosition(forward ? start : end);
    cursor.setPosition(forward ? end : start, QTextCursor::KeepAnchor);
}

void SoftBreaks::estimateRows(const QFont& font, qreal width, bool anywhere) const {
    // Qt counts a chunk it has not laid out as one row, which would make the
    // scroll bar over a long line as short as its number of chunks. Each
    // chunk not yet laid out is given the rows its length fills instead, until
    // Qt lays it out and counts its rows itself.
    if (count() == 0 || width <= 0)
        return;
    const QTextBlock sample = m_document->findBlock(m_softStarts.first());
    const QString head = sample.text().left(512);
    const qreal perCharacter = QFontMetricsF(font).horizontalAdvance(head) / qMax<qsizetype>(1, head.size());
    // A word wrap leaves part of a word's width unused at the end of each row.
    const qreal row = width - perCharacter * (anywhere ? 1 : 6);
    if (row <= perCharacter)
        return;
    bool changed = false;
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        if (block.length() <= MinChunk || block.layout()->lineCount() > 0)
            continue;
        const int rows = qMax(1, int(std::ceil((block.length() - 1) * perCharacter / row)));
        if (block.lineCount() != rows) {
            block.setLineCount(rows);
            changed = true;
        }
    }
    if (changed) {
        QAbstractTextDocumentLayout* layout = m_document->documentLayout();
        emit layout->documentSizeChanged(layout->documentSize());
    }
}
