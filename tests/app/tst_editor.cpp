// The editor control on its own: text in and out, selection, colours, fonts,
// find, pasting and the wrap mode chosen for long unbroken lines; and the
// same for texts of millions of characters on one line, which the editor
// holds in chunks that must never show through.
#include "app/editor/EntryEditor.h"
#include "app/editor/SoftBreaks.h"
#include "crypto/TextCipher.h"
#include "platform/FontList.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QRandomGenerator>
#include <QTest>
#include <QTextCursor>

namespace {
constexpr int kChunk = SoftBreaks::ChunkLength;

// "737" and hexadecimal digits, one line, the same in every run.
QString ciphertext(int characters) {
    static const char digits[] = "0123456789ABCDEF";
    QString text = QStringLiteral("737");
    text.reserve(characters);
    QRandomGenerator random(737);
    while (text.size() < characters)
        text += QLatin1Char(digits[random.bounded(16)]);
    return text;
}

// Words of 1 to 9 letters and a space, one line.
QString blob(int characters) {
    QString text;
    text.reserve(characters);
    QRandomGenerator random(1);
    while (text.size() < characters) {
        for (int n = 1 + random.bounded(9); n > 0; --n)
            text += QLatin1Char(char('a' + random.bounded(26)));
        text += QLatin1Char(' ');
    }
    text.truncate(characters);
    return text;
}

struct ShownEditor : EntryEditor {
    ShownEditor() {
        resize(400, 300);
        show();
        setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(this));
    }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(this, key, modifiers);
    }
    void caretAt(int position) {
        setSelStart(position);
        QCOMPARE(SelStart(), position);
    }
};

void paste(EntryEditor& editor, const QString& text, const QString& html = QString()) {
    auto* data = new QMimeData;
    data->setText(text);
    if (!html.isEmpty())
        data->setHtml(html);
    QApplication::clipboard()->setMimeData(data);
    editor.paste();
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void textAndSelection();
    void formatSettersRefuseWhatTheyCannotShow();
    void findHonoursStartAndOptions();
    void pasteBringsPlainTextAndKeepsLongLinesLinear();
    void longLineKeepsItsPositions_data();
    void longLineKeepsItsPositions();
    void editsInsideLongLineChangeOneCharacter_data();
    void editsInsideLongLineChangeOneCharacter();
    void copyAndCutGiveTheTextNotItsChunks();
    void shapeFollowsEveryChange();
    void keysAndClicksMeetTheText();
    void longCiphertextIsPaintedInItsFormat();
};

void TestEditor::textAndSelection() {
    EntryEditor editor;
    QString all;
    for (ushort c = 1; c < 256; ++c)
        if (c != '\r')
            all += QChar(c);
    editor.setText(all);
    QCOMPARE(editor.Text(), all); // non-breaking space and control characters included
    editor.setText(QStringLiteral("one\r\ntwo"));
    QCOMPARE(editor.Text(), QStringLiteral("one\ntwo"));

    editor.setSelStart(2);
    editor.setSelLength(3);
    QCOMPARE(editor.textCursor().selectedText(),
             QStringLiteral("e") + QChar(QChar::ParagraphSeparator) + "t");
    editor.setSelLength(100);
    QCOMPARE(editor.SelLength(), 5);
    editor.setSelStart(100);
    QCOMPARE(editor.SelStart(), 7);
    QCOMPARE(editor.SelLength(), 0);
}

void TestEditor::formatSettersRefuseWhatTheyCannotShow() {
    platform::SystemColors::setSource([](int index) { return index == 5 ? qRgb(1, 2, 3) : qRgb(9, 9, 9); });
    platform::FontList::setSource([] { return QStringList{QStringLiteral("Beta Serif")}; });
    EntryEditor editor;
    QVERIFY(editor.setBackColor(-2147483643));
    QCOMPARE(editor.palette().color(QPalette::Base), QColor(1, 2, 3)); // system colours resolve
    QVERIFY(editor.setSelColor(QStringLiteral("255")));
    QCOMPARE(editor.palette().color(QPalette::Text), QColor(255, 0, 0));
    QVERIFY(!editor.setSelColor(QStringLiteral("red")) && !editor.setSelColor(16777216));
    QVERIFY(!editor.setBackColor(-5));
    QCOMPARE(editor.SelColor(), 255);
    QCOMPARE(editor.BackColor(), -2147483643);

    QVERIFY(editor.setSelFontName(QStringLiteral("Beta Serif")));
    QVERIFY(!editor.setSelFontName(QStringLiteral("No Such Face")));
    QVERIFY(editor.setSelFontSize(12));
    QVERIFY(!editor.setSelFontSize(0) && !editor.setSelFontSize(5000));
    QCOMPARE(editor.font().family(), QStringLiteral("Beta Serif"));
    QCOMPARE(editor.font().pointSize(), 12);
    platform::FontList::setSource({});
    platform::SystemColors::setSource({});
}

void TestEditor::findHonoursStartAndOptions() {
    EntryEditor editor;
    editor.setText(QStringLiteral("Cat scatter cat"));
    QCOMPARE(editor.Find(QStringLiteral("cat"), 0, 0), 0);
    QCOMPARE(editor.Find(QStringLiteral("cat"), 1, 0), 5);
    QCOMPARE(editor.SelLength(), 3);
    QCOMPARE(editor.Find(QStringLiteral("cat"), 1, EntryEditor::WholeWord), 12);
    QCOMPARE(editor.Find(QStringLiteral("Cat"), 1, EntryEditor::MatchCase), -1);
    QCOMPARE(editor.SelStart(), 12); // a failed search leaves the selection
    QCOMPARE(editor.Find(QStringLiteral("cat"), 15, 0), -1);
}

void TestEditor::pasteBringsPlainTextAndKeepsLongLinesLinear() {
    EntryEditor editor;
    paste(editor, QStringLiteral("bold words"), QStringLiteral("<b>bold</b> words"));
    QCOMPARE(editor.Text(), QStringLiteral("bold words"));
    QTextCursor cursor(editor.document());
    cursor.setPosition(2);
    QVERIFY(!cursor.charFormat().hasProperty(QTextFormat::FontWeight));
    QVERIFY(!editor.wrapsAnywhere());

    // A ciphertext is one unbroken line: it wraps anywhere, set or pasted, until the text is gone.
    editor.setText(QStringLiteral("737") + QString(4000, QLatin1Char('A')));
    QVERIFY(editor.wrapsAnywhere());
    editor.setText(QStringLiteral("ordinary words wrap at their boundaries"));
    QVERIFY(!editor.wrapsAnywhere());
    paste(editor, QString(EntryEditor::LongRun, QLatin1Char('F')));
    QVERIFY(editor.wrapsAnywhere());
    editor.selectAll();
    QTest::keyClick(&editor, Qt::Key_Delete);
    QVERIFY(!editor.wrapsAnywhere());
}

void TestEditor::longLineKeepsItsPositions_data() {
    QTest::addColumn<QString>("text");
    QTest::newRow("ciphertext of 2 MB") << ciphertext(2 * 1024 * 1024);
    QTest::newRow("plain line of 1 MB") << blob(1024 * 1024);
    QTest::newRow("long lines among short ones")
        << QStringLiteral("first\r\n") + blob(3 * kChunk) + QStringLiteral("\n") + ciphertext(2 * kChunk + 5);
}

void TestEditor::longLineKeepsItsPositions() {
    QFETCH(QString, text);
    ShownEditor editor;
    editor.setText(text);
    QString expected = text;
    expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QCOMPARE(editor.Text(), expected);
    QCOMPARE(editor.length(), expected.size());
    QCOMPARE(editor.holdsCiphertext(), modCofra::IsEncryptedText(expected));

    const int size = int(expected.size());
    const int first = int(expected.indexOf(QLatin1Char('\n'))) + 1; // where the first long line starts
    for (const int position :
         {0, first + kChunk - 1, first + kChunk, first + kChunk + 1, size / 2, size - 1, size}) {
        editor.setSelStart(position);
        editor.setSelLength(7);
        QCOMPARE(editor.SelStart(), position);
        QCOMPARE(editor.SelLength(), qMin(7, size - position));
        if (position + 12 > size || position < 3)
            continue;
        // A needle across the place where a chunk ends, found where the string has it.
        const QString needle = expected.mid(position - 3, 12);
        const int from = position - 3 - 2;
        const int found = int(expected.indexOf(needle, qMax(0, from), Qt::CaseInsensitive));
        QCOMPARE(editor.Find(needle, qMax(0, from), 0), found);
        QCOMPARE(editor.SelStart(), found);
        QCOMPARE(editor.SelLength(), needle.size());
    }
    // Read from the document again, not from the text kept since setText.
    editor.setSelStart(size / 2);
    QTest::keyClicks(&editor, QStringLiteral("Q"));
    editor.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.Text(), expected);
}

void TestEditor::editsInsideLongLineChangeOneCharacter_data() {
    QTest::addColumn<QString>("edit");
    QTest::addColumn<int>("position");
    for (const char* edit : {"type", "backspace", "delete"}) {
        for (const int position : {100, kChunk - 1, kChunk, kChunk + 1, 2 * kChunk, 3 * kChunk + 99}) {
            QTest::addRow("%s at %d", edit, position) << QString::fromLatin1(edit) << position;
        }
    }
}

void TestEditor::editsInsideLongLineChangeOneCharacter() {
    QFETCH(QString, edit);
    QFETCH(int, position);
    const QString original = ciphertext(3 * kChunk + 100);
    ShownEditor editor;
    editor.setText(original);
    editor.caretAt(position);
    QString expected = original;
    int caret = position;
    if (edit == QLatin1String("type")) {
        QTest::keyClicks(&editor, QStringLiteral("F"));
        expected.insert(position, QLatin1Char('F'));
        ++caret;
    } else if (edit == QLatin1String("backspace")) {
        editor.key(Qt::Key_Backspace);
        expected.remove(--caret, 1);
    } else {
        editor.key(Qt::Key_Delete);
        expected.remove(position, 1);
    }
    QCOMPARE(editor.Text(), expected);
    QCOMPARE(editor.length(), expected.size());
    QCOMPARE(editor.SelStart(), caret);
    QVERIFY(editor.holdsCiphertext());
    // Each edit is undone on its own, back to the text as it was.
    editor.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.Text(), original);
    editor.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.Text(), original);
}

void TestEditor::copyAndCutGiveTheTextNotItsChunks() {
    const QString cipher = ciphertext(2 * 1024 * 1024);
    ShownEditor editor;
    editor.setText(cipher);
    editor.key(Qt::Key_A, Qt::ControlModifier);
    editor.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), cipher); // one line, byte for byte

    const int from = kChunk - 10;
    const QString part = cipher.mid(from, kChunk + 20);
    editor.setSelStart(from);
    editor.setSelLength(int(part.size()));
    editor.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), part);
    QVERIFY(QApplication::clipboard()->mimeData()->html().contains(part));
    editor.key(Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), part);
    QCOMPARE(editor.Text(), QString(cipher).remove(from, part.size()));
    editor.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.Text(), cipher);

    // A copied plain text reads as Qt's copies always have: line breaks as
    // "\n" and non-breaking spaces as spaces.
    const QString line = blob(2 * kChunk);
    editor.setText(QStringLiteral("a") + QChar(QChar::Nbsp) + QStringLiteral("b\n") + line);
    editor.key(Qt::Key_A, Qt::ControlModifier);
    editor.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a b\n") + line);
}

void TestEditor::shapeFollowsEveryChange() {
    const QString cipher = ciphertext(2 * kChunk + 10);
    ShownEditor editor;
    // The shape is known by the time the change is announced.
    QList<bool> announced;
    connect(&editor, &EntryEditor::textChanged, &editor, [&]() { announced << editor.holdsCiphertext(); });
    editor.setText(cipher);
    QCOMPARE(announced, QList<bool>{true});

    struct Step {
        int caret;
        Qt::Key key;
        const char* typed;
        bool ciphertext;
    };
    const Step steps[] = {
        {kChunk, Qt::Key_Return, nullptr, false},  // a line break: plain
        {-1, Qt::Key_Z, nullptr, true},            // undone
        {2, Qt::Key_Backspace, nullptr, false},    // the marker's "3" gone
        {-1, Qt::Key_unknown, "3", true},          // and typed again
        {kChunk + 3, Qt::Key_unknown, "x", false}, // not a hexadecimal digit
        {-1, Qt::Key_Backspace, nullptr, true},    // taken out again
        {kChunk + 3, Qt::Key_unknown, "a", true},  // a lower-case digit
    };
    for (const Step& step : steps) {
        if (step.caret >= 0)
            editor.caretAt(step.caret);
        if (step.typed)
            QTest::keyClicks(&editor, QString::fromLatin1(step.typed));
        else
            editor.key(step.key, step.key == Qt::Key_Z ? Qt::ControlModifier : Qt::NoModifier);
        QCOMPARE(editor.holdsCiphertext(), step.ciphertext);
        QCOMPARE(announced.last(), step.ciphertext);
        QCOMPARE(editor.holdsCiphertext(), modCofra::IsEncryptedText(editor.Text()));
    }

    editor.setText(QStringLiteral("737AB\nCD"));
    QVERIFY(!editor.holdsCiphertext());
    editor.caretAt(5);
    editor.key(Qt::Key_Delete);
    QCOMPARE(editor.Text(), QStringLiteral("737ABCD"));
    QVERIFY(editor.holdsCiphertext());
    paste(editor, blob(2 * kChunk));
    QVERIFY(!editor.holdsCiphertext());
}
void TestEditor::keysAndClicksMeetTheText() {
    // One word longer than three chunks: it is cut in its middle.
    const QString word(qsizetype{3} * kChunk, QLatin1Char('x'));
    const QString text = QStringLiteral("word ") + word + QStringLiteral(" tail");
    const int wordStart = 5;
    const int wordEnd = wordStart + int(word.size());
    // What Qt's cursor does on the same text in one block.
    QTextDocument reference(text);
    const auto qtMove = [&](int from, QTextCursor::MoveOperation op) {
        QTextCursor cursor(&reference);
        cursor.setPosition(from);
        cursor.movePosition(op);
        return cursor.position();
    };
    ShownEditor editor;
    editor.setText(text);

    editor.caretAt(kChunk - 1);
    editor.key(Qt::Key_Right);
    QCOMPARE(editor.SelStart(), kChunk);
    editor.key(Qt::Key_Right);
    QCOMPARE(editor.SelStart(), kChunk + 1);
    editor.key(Qt::Key_Left);
    editor.key(Qt::Key_Left);
    QCOMPARE(editor.SelStart(), kChunk - 1);
    editor.key(Qt::Key_Right, Qt::ShiftModifier);
    editor.key(Qt::Key_Right, Qt::ShiftModifier);
    QCOMPARE(std::pair(editor.SelStart(), editor.SelLength()), std::pair(kChunk - 1, 2));

    editor.caretAt(wordStart + 10);
    editor.key(Qt::Key_Right, Qt::ControlModifier);
    QCOMPARE(editor.SelStart(), qtMove(wordStart + 10, QTextCursor::WordRight));
    editor.key(Qt::Key_Left, Qt::ControlModifier);
    editor.key(Qt::Key_Left, Qt::ControlModifier);
    QCOMPARE(editor.SelStart(),
             qtMove(qtMove(qtMove(wordStart + 10, QTextCursor::WordRight), QTextCursor::WordLeft),
                    QTextCursor::WordLeft));

    // A double click takes the whole word, a third click the whole line.
    editor.caretAt(kChunk + 100);
    const QPoint inWord = editor.cursorRect().center();
    QTest::mouseDClick(editor.viewport(), Qt::LeftButton, {}, inWord);
    QCOMPARE(std::pair(editor.SelStart(), editor.SelLength()), std::pair(wordStart, int(word.size())));
    QTest::mouseClick(editor.viewport(), Qt::LeftButton, {}, inWord);
    QCOMPARE(std::pair(editor.SelStart(), editor.SelLength()), std::pair(0, editor.length()));

    // Enter after a soft break makes one line break and nothing more.
    editor.caretAt(kChunk + 10);
    editor.key(Qt::Key_Return);
    editor.key(Qt::Key_Return);
    QCOMPARE(editor.Text(), QString(text).insert(kChunk + 10, QStringLiteral("\n\n")));
    editor.key(Qt::Key_Z, Qt::ControlModifier);
    editor.key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(editor.Text(), text);

    // Ctrl+Backspace at the end of the word takes the whole word.
    editor.caretAt(wordEnd);
    editor.key(Qt::Key_Backspace, Qt::ControlModifier);
    QTextCursor removal(&reference);
    removal.setPosition(wordEnd);
    removal.movePosition(QTextCursor::PreviousWord, QTextCursor::KeepAnchor);
    removal.removeSelectedText();
    QCOMPARE(editor.Text(), reference.toRawText());
}

void TestEditor::longCiphertextIsPaintedInItsFormat() {
    ShownEditor editor;
    editor.setText(ciphertext(2 * 1024 * 1024));
    editor.setBackColor(0x800000);   // dark blue
    editor.setSelColor(0x00FFFF);    // yellow
    editor.setSelStart(1024 * 1024); // the middle of the line is on the screen
    const auto count = [&](auto matches) {
        QApplication::processEvents();
        const QImage image = editor.viewport()->grab().toImage();
        int pixels = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                pixels += matches(image.pixelColor(x, y));
        return pixels;
    };
    const auto background = [](const QColor& c) { return c == QColor(0, 0, 0x80); };
    const auto yellow = [](const QColor& c) { return c.red() > 160 && c.green() > 160 && c.blue() < 100; };
    const QPalette palette = editor.palette();
    const auto highlighted = [&](const QColor& c) {
        return c == palette.color(QPalette::Active, QPalette::Highlight) ||
               c == palette.color(QPalette::Inactive, QPalette::Highlight);
    };

    const int area = editor.viewport()->width() * editor.viewport()->height();
    QVERIFY(count(background) > area / 2);
    QVERIFY(editor.viewport()->rect().contains(editor.cursorRect())); // and the caret with it
    const int regular = count(yellow);
    QVERIFY(regular > area / 50); // rows of text, in its colour
    QCOMPARE(count(highlighted), 0);
    editor.setSelLength(300);
    QVERIFY(count(highlighted) > area / 100);
    editor.setSelLength(0);
    editor.setSelBold(true);
    QVERIFY(count(yellow) > regular * 11 / 10);
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
