// The editor control on its own, in what its model check (tst_editor_model)
// does not judge: every character through setText, colours and fonts, chosen
// cases of Find, the wrap mode chosen for long unbroken lines, what copying
// offers besides plain text, the shape of the text as each change is
// announced, and what a long ciphertext looks like on the screen.
#include "crypto/TextCipher.h"
#include "editor/EntryEditor.h"
#include "editor/SoftBreaks.h"
#include "platform/FontList.h"
#include "platform/SystemColors.h"
#include "tests/support/EditorTexts.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QScopeGuard>
#include <QTest>
#include <QTextCursor>

namespace {
constexpr int kChunk = SoftBreaks::ChunkLength;

using editortexts::blob;
using editortexts::ciphertext;

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
    void copyOffersTheTextAsHtmlToo();
    void shapeIsKnownWhenAChangeIsAnnounced();
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
    const auto restore = qScopeGuard([] {
        platform::FontList::setSource({});
        platform::SystemColors::setSource({});
    });
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

void TestEditor::copyOffersTheTextAsHtmlToo() {
    // A copy over soft breaks offers its characters as HTML as well; a plain
    // text reads as Qt's copies always have, with
    // non-breaking spaces as spaces.
    const QString cipher = ciphertext(qsizetype{3} * kChunk);
    ShownEditor editor;
    editor.setText(cipher);
    const QString part = cipher.mid(kChunk - 10, kChunk + 20);
    editor.setSelStart(kChunk - 10);
    editor.setSelLength(int(part.size()));
    editor.key(Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QCOMPARE(copied->text(), part);
    QVERIFY(copied->html().contains(part));

    editor.setText(QStringLiteral("a") + QChar(QChar::Nbsp) + QStringLiteral("b\n") +
                   blob(qsizetype{2} * kChunk));
    editor.key(Qt::Key_A, Qt::ControlModifier);
    editor.key(Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a b\n") + blob(qsizetype{2} * kChunk));
}

void TestEditor::shapeIsKnownWhenAChangeIsAnnounced() {
    // Receivers of textChanged ask for the shape of the new text at once.
    ShownEditor editor;
    QList<bool> announced;
    connect(&editor, &EntryEditor::textChanged, &editor, [&]() { announced << editor.holdsCiphertext(); });
    editor.setText(ciphertext(2 * kChunk + 10));
    editor.caretAt(kChunk);
    editor.key(Qt::Key_Return); // a line break: plain
    editor.key(Qt::Key_Z, Qt::ControlModifier);
    editor.caretAt(2);
    editor.key(Qt::Key_Backspace); // the marker's "3" gone
    QTest::keyClicks(&editor, QStringLiteral("3"));
    editor.caretAt(kChunk + 3);
    QTest::keyClicks(&editor, QStringLiteral("a"));
    QCOMPARE(announced, (QList<bool>{true, false, true, false, true, true}));
}

void TestEditor::longCiphertextIsPaintedInItsFormat() {
    ShownEditor editor;
    editor.setText(ciphertext(qsizetype{2} * 1024 * 1024));
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
