#include "app/editor/EntryEditor.h"

#include "app/editor/SelectionMimeData.h"
#include "crypto/TextCipher.h"
#include "platform/FontList.h"
#include "platform/SystemColors.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QMenu>
#include <QMimeData>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextDocument>
#include <algorithm>

namespace {

constexpr qint32 kWindowText = -2147483640;       // &H80000008
constexpr qint32 kWindowBackground = -2147483643; // &H80000005

bool isColourValue(qint32 value) {
    if (value >= 0)
        return value <= 0xFFFFFF;
    // &H800000nn: the top bit and an index in the low byte, nothing else.
    return (static_cast<quint32>(value) & 0x7FFFFF00u) == 0;
}

// Whether the text holds a run of at least `limit` characters that a word wrap
// could not break.
bool hasLongRun(const QString& text, int limit) {
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

// Whether the text holds a character that the document reads back as "\n".
bool hasLineBreakVariant(const QString& text) {
    return std::any_of(text.cbegin(), text.cend(), [](QChar c) {
        return c != QLatin1Char('\n') && (SoftBreaks::isLineBreak(c) || c == QChar::LineSeparator);
    });
}

} // namespace

EntryEditor::EntryEditor(QWidget* parent)
    : QPlainTextEdit(parent), m_breaks(document()), m_editing(this, m_breaks), m_foreColor(kWindowText),
      m_backColor(kWindowBackground) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setUndoRedoEnabled(true);
    // Before textChanged: its receivers ask for the shape of the new text.
    connect(document(), &QTextDocument::contentsChange, this, &EntryEditor::documentChanged);
    // Once the text is gone, whatever is typed next wraps at word boundaries again.
    connect(document(), &QTextDocument::contentsChanged, this, [this]() {
        if (wrapsAnywhere() && document()->isEmpty())
            setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
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
    // Word wrapping a long unbroken line is quadratic, even in chunks.
    const QTextOption::WrapMode wanted =
        hasLongRun(text, LongRun) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    m_settingText = true;
    m_ciphertext = modCofra::IsEncryptedText(text);
    if (!SoftBreaks::needsChunks(text)) {
        // A change of mode lays out the whole document again: it changes while the document is empty.
        if (wanted != wordWrapMode()) {
            const QSignalBlocker quiet(this);
            setPlainText(QString());
            setWordWrapMode(wanted);
        }
        setPlainText(text);
    } else {
        {
            // Emptied quietly: the one change notification comes with the new text.
            const QSignalBlocker quiet(this);
            setPlainText(QString());
            if (wanted != wordWrapMode())
                setWordWrapMode(wanted);
        }
        QTextDocument* doc = document();
        // As setPlainText does: the new text is no edit to undo.
        doc->setUndoRedoEnabled(false);
        QTextCursor cursor(doc);
        SoftBreaks::insert(cursor, text);
        doc->setUndoRedoEnabled(true);
        doc->setModified(false);
        setTextCursor(QTextCursor(doc));
        settleLayout();
    }
    m_settingText = false;
    // The text as given is the text as read back, unless the document turns
    // some of its characters into line breaks; a ciphertext holds none of them.
    m_textKept = m_ciphertext || !hasLineBreakVariant(text);
    m_text = m_textKept ? text : QString();
}

int EntryEditor::SelStart() const {
    return m_breaks.toText(textCursor().selectionStart());
}

void EntryEditor::setSelStart(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(m_breaks.toDocument(qBound(0, position, length())));
    setTextCursor(cursor);
}

int EntryEditor::SelLength() const {
    const QTextCursor cursor = textCursor();
    return m_breaks.toText(cursor.selectionEnd()) - m_breaks.toText(cursor.selectionStart());
}

void EntryEditor::setSelLength(int length) {
    const int start = SelStart();
    const int end = qBound(start, start + qMax(0, length), this->length());
    QTextCursor cursor = textCursor();
    // A selection ends before a soft break and starts after one, so that it
    // holds no break at either end.
    cursor.setPosition(m_breaks.toDocument(start));
    cursor.setPosition(m_breaks.toDocument(end, end > start ? SoftBreaks::Before : SoftBreaks::After),
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
    QFont f = font();
    f.setBold(on);
    changeFont(f);
}

void EntryEditor::setSelItalic(bool on) {
    QFont f = font();
    f.setItalic(on);
    changeFont(f);
}

void EntryEditor::setSelStrikeThru(bool on) {
    QFont f = font();
    f.setStrikeOut(on);
    changeFont(f);
}

void EntryEditor::setSelUnderline(bool on) {
    QFont f = font();
    f.setUnderline(on);
    changeFont(f);
}

int EntryEditor::Find(const QString& text, int start, int options) {
    if (text.isEmpty() || start < 0 || start >= length())
        return -1;
    // As QTextDocument::find matches, on the text rather than on its blocks:
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
        QTextCursor cursor = textCursor();
        cursor.setPosition(m_breaks.toDocument(int(found)));
        cursor.setPosition(m_breaks.toDocument(int(end), SoftBreaks::Before), QTextCursor::KeepAnchor);
        setTextCursor(cursor);
        return int(found);
    }
    return -1;
}

void EntryEditor::Refresh() {
    viewport()->update();
}

QMimeData* EntryEditor::createMimeDataFromSelection() const {
    const QTextCursor cursor = textCursor();
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    bool spansBreak = false;
    for (QTextBlock block = document()->findBlock(from).next(); block.isValid() && block.position() <= to;
         block = block.next())
        spansBreak = spansBreak || SoftBreaks::isSoft(block);
    if (!spansBreak)
        return QPlainTextEdit::createMimeDataFromSelection();
    // As Qt's plain text of a selection reads, without the soft breaks.
    QString text = m_breaks.text(from, to);
    text.replace(QChar::Nbsp, QLatin1Char(' '));
    return new SelectionMimeData(text, document()->defaultFont());
}

void EntryEditor::insertFromMimeData(const QMimeData* source) {
    // Pasted and dropped text arrives as plain text, whatever else came with it.
    if (!source || !source->hasText())
        return;
    const QString text = source->text();
    if (!wrapsAnywhere() && hasLongRun(text, LongRun))
        setWordWrapMode(QTextOption::WrapAnywhere);
    insertPlain(text);
    ensureCursorVisible();
}

void EntryEditor::insertPlain(const QString& text) {
    QTextCursor cursor = textCursor();
    // A line break typed or pasted after a soft break would take its mark.
    const bool afterSoftBreak = SoftBreaks::isSoft(document()->findBlock(cursor.selectionStart()));
    if (SoftBreaks::needsChunks(text) || (afterSoftBreak && SoftBreaks::hasLineBreak(text))) {
        SoftBreaks::insert(cursor, text);
        settleLayout();
    } else {
        cursor.insertText(text);
    }
}

void EntryEditor::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        applyColours();
    else if (event->type() == QEvent::FontChange)
        m_editing.estimateRows();
}

void EntryEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    m_editing.estimateRows();
}

void EntryEditor::settleLayout() {
    // The scroll bar that a long text brings up is shown by a queued call, and
    // the narrower viewport lays every chunk out again from its first row:
    // a caret placed before that (SelStart, Find) would be scrolled away from.
    // It is shown now, and the chunks are given their rows for the width left.
    QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    m_editing.estimateRows();
}

void EntryEditor::keyPressEvent(QKeyEvent* event) {
    if (!m_editing.keyPress(event, [this, event]() { QPlainTextEdit::keyPressEvent(event); }))
        QPlainTextEdit::keyPressEvent(event);
}

void EntryEditor::inputMethodEvent(QInputMethodEvent* event) {
    // A committed line break after a soft break would take its mark.
    if (m_breaks.count() == 0 || !SoftBreaks::hasLineBreak(event->commitString())) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    rest.setCommitString(QString(), event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&rest);
    insertPlain(event->commitString());
    event->accept();
}

void EntryEditor::mousePressEvent(QMouseEvent* event) {
    m_editing.beforeMousePress(event);
    QPlainTextEdit::mousePressEvent(event);
    m_editing.afterMousePress();
}

void EntryEditor::mouseDoubleClickEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseDoubleClickEvent(event);
    m_editing.afterDoubleClick(event);
}

void EntryEditor::mouseMoveEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseMoveEvent(event);
    m_editing.afterMouseMove(event);
}

void EntryEditor::mouseReleaseEvent(QMouseEvent* event) {
    QPlainTextEdit::mouseReleaseEvent(event);
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (m_editing.afterMouseRelease() && clipboard->supportsSelection() && textCursor().hasSelection())
        clipboard->setMimeData(createMimeDataFromSelection(), QClipboard::Selection);
}

void EntryEditor::contextMenuEvent(QContextMenuEvent* event) {
    if (m_breaks.count() == 0) {
        QPlainTextEdit::contextMenuEvent(event);
        return;
    }
    QMenu* menu = createStandardContextMenu(event->pos());
    m_editing.adaptContextMenu(menu);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void EntryEditor::documentChanged(int position, int /*removed*/, int added) {
    m_breaks.invalidate();
    if (m_settingText)
        return;
    m_textKept = false;
    m_text = QString();
    // A ciphertext stays one only through changes made of hexadecimal digits;
    // any other text has to be read whole to become one.
    const bool oneLine = document()->blockCount() - 1 == m_breaks.count();
    if (!oneLine || m_breaks.length() <= 3 || m_breaks.at(0) != u'7' || m_breaks.at(1) != u'3' ||
        m_breaks.at(2) != u'7') {
        m_ciphertext = false;
        return;
    }
    const int end = document()->characterCount() - 1;
    m_ciphertext = m_ciphertext ? m_breaks.allHexDigits(qMin(position, end), qMin(position + added, end))
                                : m_breaks.allHexDigits(0, end);
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
