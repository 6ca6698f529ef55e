#include "editor/EntryEditor.h"

#include "crypto/CipherShape.h"
#include "crypto/TextCipher.h"
#include "editor/SelectionMimeData.h"
#include "platform/FontList.h"
#include "platform/SystemColors.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMenu>
#include <QMimeData>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

namespace {

bool isColourValue(qint32 value) {
    if (value >= 0)
        return value <= 0xFFFFFF;
    // &H800000nn: the top bit and an index in the low byte, nothing else.
    return (static_cast<quint32>(value) & 0x7FFFFF00u) == 0;
}

// Whether the text holds a run of at least `limit` characters that a word wrap
// could not break.
bool hasLongRun(QStringView text, int limit) {
    int run = 0;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        const bool space = u < 0x80 ? (u == u' ' || (u >= u'\t' && u <= u'\r')) : c.isSpace();
        if (space) {
            run = 0;
        } else if (++run >= limit) {
            return true;
        }
    }
    return false;
}

// The text as the editor reads it back: every line break, in whatever form, one "\n".
QString withLineFeeds(const QString& text) {
    if (!SoftBreaks::hasLineBreak(text))
        return text;
    QString lines;
    lines.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!SoftBreaks::isLineBreak(text[i])) {
            lines += text[i];
            continue;
        }
        lines += QLatin1Char('\n');
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
    }
    return lines;
}

} // namespace

EntryEditor::EntryEditor(QWidget* parent)
    : QPlainTextEdit(parent), m_breaks(document()), m_input(this),
      m_foreColor(platform::SysColorCode(platform::WindowText)),
      m_backColor(platform::SysColorCode(platform::WindowBackground)) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    // Undo and redo are the editor's own, in terms of the text (EditHistory).
    document()->setUndoRedoEnabled(false);
    m_recut.setSingleShot(true);
    m_recut.setInterval(250);
    connect(&m_recut, &QTimer::timeout, this, &EntryEditor::recutNow);
    // Before textChanged: its receivers ask for the shape of the new text.
    connect(document(), &QTextDocument::contentsChange, this, &EntryEditor::documentChanged);
    // Once the text is gone, whatever is typed next wraps at word boundaries again.
    connect(document(), &QTextDocument::contentsChanged, this, [this]() {
        if (wrapsAnywhere() && document()->isEmpty())
            setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    });
    // A selection of nothing but a soft break is no selection: Qt would cut,
    // copy and delete it as one.
    connect(this, &QPlainTextEdit::selectionChanged, this, [this]() {
        QTextCursor cursor = textCursor();
        if (cursor.hasSelection() && m_breaks.toText(cursor.anchor()) == m_breaks.toText(cursor.position())) {
            cursor.setPosition(cursor.position());
            setTextCursor(cursor);
        }
    });
    applyColours();
}

QString EntryEditor::Text() const {
    // Kept until the next change: the flows read a long text several times in a row.
    if (!m_textKept) {
        m_text = m_breaks.text();
        m_textKept = true;
    }
    return m_text;
}

int EntryEditor::length() const {
    return m_breaks.length();
}

bool EntryEditor::isEmpty() const {
    return length() == 0;
}

void EntryEditor::setText(const QString& text) {
    m_history.clear();
    m_ciphertext = modCofra::IsEncryptedText(text);
    // The text as given is the text as read back, unless some of its line
    // breaks are not "\n"; a ciphertext holds none.
    m_textKept = m_ciphertext || std::none_of(text.cbegin(), text.cend(), [](QChar c) {
                     return c != QLatin1Char('\n') && SoftBreaks::isLineBreak(c);
                 });
    m_text = m_textKept ? text : QString();
    // Word wrapping a long unbroken line is quadratic, even in chunks.
    const QTextOption::WrapMode wanted =
        hasLongRun(text, LongRun) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    m_sameText = true;
    if (text.isEmpty()) {
        setPlainText(QString());
        m_sameText = false;
        return;
    }
    {
        // Emptied quietly: the one change notification comes with the new text.
        const QSignalBlocker quiet(this);
        setPlainText(QString());
        // A change of mode lays out the whole document again: it changes while the document is empty.
        if (wanted != wordWrapMode())
            setWordWrapMode(wanted);
    }
    // A text whose lines all fit a chunk is Qt's to lay in, which does it
    // fastest; the separators of lines Qt would keep as characters are the
    // editor's to turn into line breaks.
    if (SoftBreaks::fitsInLines(text))
        setPlainText(text);
    else
        m_breaks.replace(0, 0, text, cutting(text.size()));
    m_sameText = false;
    setTextCursor(QTextCursor(document()));
    settleLayout();
    recutSoon();
}

int EntryEditor::SelStart() const {
    return m_breaks.toText(textCursor().selectionStart());
}

void EntryEditor::setSelStart(int position) {
    const int at = qBound(0, position, length());
    select(at, at);
}

int EntryEditor::SelLength() const {
    const QTextCursor cursor = textCursor();
    return m_breaks.toText(cursor.selectionEnd()) - m_breaks.toText(cursor.selectionStart());
}

void EntryEditor::setSelLength(int length) {
    const int start = SelStart();
    select(start, qBound(start, start + qMax(0, length), this->length()));
}

void EntryEditor::select(int anchor, int position) {
    // A selection starts after a soft break and ends before one, so that it
    // holds no soft break at either end.
    const bool forward = position >= anchor;
    QTextCursor cursor = textCursor();
    cursor.setPosition(m_breaks.toDocument(anchor, forward ? SoftBreaks::After : SoftBreaks::Before));
    cursor.setPosition(
        m_breaks.toDocument(position, forward && position > anchor ? SoftBreaks::Before : SoftBreaks::After),
        QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

bool EntryEditor::setSelColor(qint32 colour) {
    if (!isColourValue(colour))
        return false;
    m_foreColor = colour;
    applyColours();
    return true;
}

bool EntryEditor::setSelColor(const QString& decimalText) {
    bool ok = false;
    const qint32 value = decimalText.trimmed().toInt(&ok);
    return ok && setSelColor(value);
}

bool EntryEditor::setBackColor(qint32 colour) {
    if (!isColourValue(colour))
        return false;
    m_backColor = colour;
    applyColours();
    return true;
}

bool EntryEditor::setSelFontName(const QString& family) {
    if (!platform::FontList::has(family))
        return false;
    QFont f = font();
    if (f.family() == family)
        return true;
    f.setFamilies({family});
    changeFont(f);
    return true;
}

bool EntryEditor::setSelFontSize(int points) {
    if (points < 1 || points > 1638)
        return false;
    QFont f = font();
    f.setPointSize(points);
    changeFont(f);
    return true;
}

void EntryEditor::setSelBold(bool on) {
    setFontStyle(&QFont::setBold, on);
}

void EntryEditor::setSelItalic(bool on) {
    setFontStyle(&QFont::setItalic, on);
}

void EntryEditor::setSelStrikeThru(bool on) {
    setFontStyle(&QFont::setStrikeOut, on);
}

void EntryEditor::setSelUnderline(bool on) {
    setFontStyle(&QFont::setUnderline, on);
}

void EntryEditor::setFontStyle(FontStyleSetter setter, bool on) {
    QFont f = font();
    (f.*setter)(on);
    changeFont(f);
}

int EntryEditor::Find(const QString& text, int start, int options) {
    if (text.isEmpty() || start < 0 || start >= length())
        return -1;
    // As QTextDocument::find matches, on the text rather than on its chunks:
    // a non-breaking space matches a space, and a whole word is one with no
    // letter or digit on either side; a rejected match resumes one past its end.
    QString haystack = Text();
    haystack.replace(QChar::Nbsp, QLatin1Char(' '));
    const Qt::CaseSensitivity sensitivity = (options & MatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    qsizetype from = start;
    while (from <= haystack.size()) {
        const qsizetype found = haystack.indexOf(text, from, sensitivity);
        if (found < 0)
            return -1;
        const qsizetype end = found + text.size();
        if ((options & WholeWord) && ((found > 0 && haystack.at(found - 1).isLetterOrNumber()) ||
                                      (end < haystack.size() && haystack.at(end).isLetterOrNumber()))) {
            from = end + 1;
            continue;
        }
        select(int(found), int(end));
        return int(found);
    }
    return -1;
}

void EntryEditor::Refresh() {
    viewport()->update();
}

void EntryEditor::replace(int from, int to, const QString& text, EditHistory::Kind kind) {
    const int end = length();
    from = qBound(0, from, end);
    to = qBound(from, to, end);
    const QString inserted = withLineFeeds(text);
    if (from == to && inserted.isEmpty())
        return;
    const QTextCursor cursor = textCursor();
    EditHistory::Step step;
    step.at = from;
    step.removed = from == to ? QString()
                              : m_breaks.text(m_breaks.toDocument(from, SoftBreaks::After),
                                              m_breaks.toDocument(to, SoftBreaks::Before));
    step.inserted = inserted;
    step.anchor = m_breaks.toText(cursor.anchor());
    step.position = m_breaks.toText(cursor.position());
    step.kind = kind;
    m_history.record(step);
    apply(from, to, inserted);
    const int caret = from + int(inserted.size());
    select(caret, caret);
}

void EntryEditor::replaceSelection(const QString& text, EditHistory::Kind kind) {
    const int start = SelStart();
    replace(start, start + SelLength(), text, kind);
}

void EntryEditor::apply(int from, int to, const QString& text) {
    if (!wrapsAnywhere() && hasLongRun(text, LongRun)) {
        setWordWrapMode(QTextOption::WrapAnywhere);
        m_rowLength = -1;
    }
    m_editing = true;
    m_breaks.replace(from, to, text, cutting(length() - (to - from) + text.size()));
    m_editing = false;
    if (wrapsAnywhere())
        recutSoon();
}

void EntryEditor::undo() {
    if (!m_history.canUndo())
        return;
    const EditHistory::Step step = m_history.undo();
    apply(step.at, step.at + int(step.inserted.size()), step.removed);
    select(step.anchor, step.position);
    ensureCursorVisible();
}

void EntryEditor::redo() {
    if (!m_history.canRedo())
        return;
    const EditHistory::Step step = m_history.redo();
    apply(step.at, step.at + int(step.removed.size()), step.inserted);
    const int caret = step.at + int(step.inserted.size());
    select(caret, caret);
    ensureCursorVisible();
}

void EntryEditor::cut() {
    if (!textCursor().hasSelection() || isReadOnly())
        return;
    copy();
    replaceSelection(QString(), EditHistory::Kind::Other);
    ensureCursorVisible();
}

SoftBreaks::Cutting EntryEditor::cutting(qsizetype textLength) const {
    SoftBreaks::Cutting cutting;
    cutting.anywhere = wrapsAnywhere();
    if (!cutting.anywhere)
        return cutting;
    // The layout's width is the viewport's, as QPlainTextEdit sets it, less
    // the scroll bar that a text longer than the viewport shows brings up.
    qreal width = viewport()->width() - 2 * document()->documentMargin();
    const QFontMetricsF metrics(font());
    const qreal shown = (width / metrics.averageCharWidth()) * (viewport()->height() / metrics.lineSpacing());
    if (!verticalScrollBar()->isVisible() && verticalScrollBarPolicy() == Qt::ScrollBarAsNeeded &&
        textLength > 2 * shown)
        width -= verticalScrollBar()->sizeHint().width();
    if (m_rowLength < 0 || width != m_rowWidth) {
        // The characters a row holds, as the document's layout fills it;
        // rows differ in length in a proportional font.
        m_rowLength = 0;
        m_rowWidth = width;
        m_endsRow.clear();
        if (QFontInfo(font()).fixedPitch() && width > 0) {
            // The most characters of one glyph a row takes; a glyph that
            // reaches past its cell leaves the row one short.
            for (const QChar c : QStringLiteral("0123456789ABCDEF"))
                m_rowLength = qMax(m_rowLength, charactersPerRow(c));
        }
    }
    cutting.rowLength = m_rowLength;
    cutting.endsRow = [this](QChar c) { return endsRow(c); };
    return cutting;
}

int EntryEditor::charactersPerRow(QChar c) const {
    // A few more of the character than fit by their advance: the layout tells how many do.
    const qreal advance = qMax<qreal>(1, QFontMetricsF(font()).horizontalAdvance(c));
    const int enough = qBound(8, int(m_rowWidth / advance) + 8, SoftBreaks::MinChunk);
    QTextLayout probe(QString(enough, c), font());
    QTextOption option = document()->defaultTextOption();
    option.setWrapMode(QTextOption::WrapAnywhere);
    probe.setTextOption(option);
    probe.beginLayout();
    QTextLine row = probe.createLine();
    row.setLineWidth(m_rowWidth);
    probe.endLayout();
    return row.textLength();
}

bool EntryEditor::endsRow(QChar c) const {
    auto known = m_endsRow.constFind(c.unicode());
    if (known == m_endsRow.cend())
        known = m_endsRow.insert(c.unicode(), charactersPerRow(c) >= m_rowLength);
    return *known;
}

void EntryEditor::recutSoon() {
    if (wrapsAnywhere() && m_breaks.count() > 0)
        m_recut.start();
}

void EntryEditor::recutNow() {
    const SoftBreaks::Cutting now = cutting(length());
    if (!m_breaks.needsRecut(now))
        return;
    // The text and the selection stay; so does the view, near enough.
    const QTextCursor cursor = textCursor();
    const int anchor = m_breaks.toText(cursor.anchor());
    const int position = m_breaks.toText(cursor.position());
    const bool caretShown = viewport()->rect().intersects(cursorRect());
    const int top = verticalScrollBar()->value();
    {
        const QSignalBlocker quiet(this);
        m_sameText = true;
        m_breaks.recut(now);
        m_sameText = false;
        select(anchor, position);
    }
    settleLayout();
    verticalScrollBar()->setValue(top);
    if (caretShown)
        ensureCursorVisible();
}

QMimeData* EntryEditor::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    // As Qt's plain text of a selection reads, without the soft breaks.
    QString text = m_breaks.text(cursor.selectionStart(), cursor.selectionEnd());
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    return new SelectionMimeData(text, document()->defaultFont());
}

void EntryEditor::insertFromMimeData(const QMimeData* source) {
    // Pasted text arrives as plain text, whatever else came with it.
    if (!source || !source->hasText() || isReadOnly())
        return;
    replaceSelection(source->text(), EditHistory::Kind::Other);
    ensureCursorVisible();
}

void EntryEditor::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange) {
        applyColours();
    } else if (event->type() == QEvent::FontChange) {
        m_rowLength = -1;
        settleLayout();
        recutSoon();
    }
}

bool EntryEditor::viewportEvent(QEvent* event) {
    const bool handled = QPlainTextEdit::viewportEvent(event);
    // The viewport narrows when a scroll bar comes up, and the rows with it.
    if (event->type() == QEvent::Resize) {
        m_breaks.estimateRows(font(), viewport()->width() - 2 * document()->documentMargin(),
                              wrapsAnywhere());
        recutSoon();
    }
    return handled;
}

void EntryEditor::settleLayout() {
    // The scroll bar that a long text brings up is shown by a queued call, and
    // the narrower viewport lays every chunk out again from its first row:
    // a caret placed before that (SelStart, Find) would be scrolled away from.
    // It is shown now, and the chunks are given their rows for the width left.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    m_breaks.estimateRows(font(), viewport()->width() - 2 * document()->documentMargin(), wrapsAnywhere());
}

void EntryEditor::keyPressEvent(QKeyEvent* event) {
    if (!m_input.keyPress(event, [this, event]() { QPlainTextEdit::keyPressEvent(event); }))
        QPlainTextEdit::keyPressEvent(event);
}

void EntryEditor::inputMethodEvent(QInputMethodEvent* event) {
    m_input.inputMethod(event, [this](QInputMethodEvent* rest) { QPlainTextEdit::inputMethodEvent(rest); });
}

void EntryEditor::mousePressEvent(QMouseEvent* event) {
    m_input.mousePress(event, [this, event]() { QPlainTextEdit::mousePressEvent(event); });
}

void EntryEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    m_input.mouseDoubleClick(event, [this, event]() { QPlainTextEdit::mouseDoubleClickEvent(event); });
}

void EntryEditor::mouseMoveEvent(QMouseEvent* event) {
    m_input.mouseMove(event, [this, event]() { QPlainTextEdit::mouseMoveEvent(event); });
}

void EntryEditor::mouseReleaseEvent(QMouseEvent* event) {
    const bool widened =
        m_input.mouseRelease(event, [this, event]() { QPlainTextEdit::mouseReleaseEvent(event); });
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (widened && clipboard->supportsSelection() && textCursor().hasSelection())
        clipboard->setMimeData(createMimeDataFromSelection(), QClipboard::Selection);
}

void EntryEditor::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu(event->pos());
    m_input.adaptContextMenu(menu);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void EntryEditor::dropEvent(QDropEvent* event) {
    m_input.drop(event);
}

void EntryEditor::documentChanged(int position, int removed, int added) {
    m_breaks.invalidate();
    if (m_sameText)
        return;
    // A change made past the editor (an assistive tool's, say) cannot be
    // undone in terms of the text. What an input method composes is shown as
    // a change of as many characters as there were.
    if (!m_editing && removed != added)
        m_history.clear();
    m_textKept = false;
    m_text = QString();
    // A ciphertext stays one through changes after its first characters made
    // of its form's alphabet; any other text has to be read whole to become one.
    using namespace crypto::CipherShape;
    const int length = m_breaks.length();
    char16_t start[Deciding] = {};
    const int known = qMin(length, int(Deciding));
    for (int i = 0; i < known; ++i)
        start[i] = m_breaks.at(i).unicode();
    const Form form = m_breaks.isOneLine() ? announced(QStringView(start, known)) : Form::None;
    if (form == Form::None || !fitsLength(form, length)) {
        m_ciphertext = false;
        return;
    }
    const int end = document()->characterCount() - 1;
    const bool changeOnly = m_ciphertext && position >= Deciding;
    const int from = qMin(changeOnly ? position : m_breaks.toDocument(int(bodyStart(form))), end);
    const int to = changeOnly ? qMin(position + added, end) : end;
    // Read a piece at a time, so that a long text stops at its first stranger.
    m_ciphertext = true;
    for (int at = from; m_ciphertext && at < to; at += SoftBreaks::ChunkLength)
        m_ciphertext = inAlphabet(form, m_breaks.text(at, qMin(at + SoftBreaks::ChunkLength, to)));
}

void EntryEditor::applyColours() {
    QPalette p = palette();
    const QColor text = platform::SystemColors::toQColor(m_foreColor);
    const QColor back = platform::SystemColors::toQColor(m_backColor);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::Base, back);
    }
    setPalette(p);
}

void EntryEditor::changeFont(const QFont& f) {
    // A font change lays the whole text out again; skip it when nothing changes.
    if (f == font() && f.underline() == font().underline() && f.strikeOut() == font().strikeOut())
        return;
    setFont(f);
}
