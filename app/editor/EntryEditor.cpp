#include "app/editor/EntryEditor.h"

#include "crypto/TextCipher.h"
#include "platform/FontList.h"
#include "platform/SystemColors.h"

#include <QMimeData>
#include <QTextBlock>
#include <QTextDocument>

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

} // namespace

EntryEditor::EntryEditor(QWidget* parent)
    : QPlainTextEdit(parent), m_foreColor(kWindowText), m_backColor(kWindowBackground) {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document()->setUndoRedoEnabled(true);
    // Once the text is gone, whatever is typed next wraps at word boundaries again.
    connect(document(), &QTextDocument::contentsChanged, this, [this]() {
        if (wrapsAnywhere() && document()->isEmpty())
            setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    });
    applyColours();
}

QString EntryEditor::Text() const {
    // toRawText keeps non-breaking spaces, which toPlainText turns into spaces.
    // Enter ends a paragraph and Shift+Enter a line within one; both are line breaks of the text.
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return text;
}

int EntryEditor::length() const {
    return document()->characterCount() - 1;
}

bool EntryEditor::isEmpty() const {
    return document()->isEmpty();
}

bool EntryEditor::holdsCiphertext() const {
    const QTextDocument* doc = document();
    return doc->blockCount() == 1 && modCofra::IsEncryptedText(doc->firstBlock().text());
}

void EntryEditor::setText(const QString& text) {
    // Word wrapping a long unbroken line is quadratic, and any change of mode
    // lays out the whole document again: the mode changes while the document
    // is empty.
    const QTextOption::WrapMode wanted =
        hasLongRun(text, LongRun) ? QTextOption::WrapAnywhere : QTextOption::WrapAtWordBoundaryOrAnywhere;
    if (wanted != wordWrapMode()) {
        setPlainText(QString());
        setWordWrapMode(wanted);
    }
    setPlainText(text);
}

int EntryEditor::SelStart() const {
    return textCursor().selectionStart();
}

void EntryEditor::setSelStart(int position) {
    QTextCursor cursor = textCursor();
    cursor.setPosition(qBound(0, position, document()->characterCount() - 1));
    setTextCursor(cursor);
}

int EntryEditor::SelLength() const {
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void EntryEditor::setSelLength(int length) {
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    const int end = qBound(start, start + qMax(0, length), document()->characterCount() - 1);
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
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
    if (text.isEmpty() || start < 0 || start >= document()->characterCount() - 1)
        return -1;
    QTextDocument::FindFlags flags;
    if (options & WholeWord)
        flags |= QTextDocument::FindWholeWords;
    if (options & MatchCase)
        flags |= QTextDocument::FindCaseSensitively;
    const QTextCursor found = document()->find(text, start, flags);
    if (found.isNull())
        return -1;
    setTextCursor(found);
    return found.selectionStart();
}

void EntryEditor::Refresh() {
    viewport()->update();
}

void EntryEditor::insertFromMimeData(const QMimeData* source) {
    // Pasted and dropped text arrives as plain text, whatever else came with it.
    if (!source || !source->hasText())
        return;
    const QString text = source->text();
    if (!wrapsAnywhere() && hasLongRun(text, LongRun))
        setWordWrapMode(QTextOption::WrapAnywhere);
    textCursor().insertText(text);
    ensureCursorVisible();
}

void EntryEditor::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange)
        applyColours();
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
