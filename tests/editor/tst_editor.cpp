// The editor control on its own, in what its model check (tst_editor_model)
// does not judge: every character through setText, colours and fonts, chosen
// cases of Find, the wrap mode chosen for long unbroken lines, what copying
// offers besides plain text, the shape of the text as each change is
// announced, what a long ciphertext looks like on the screen, and the
// translation between positions in the text and in the document that holds
// it in chunks.
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
#include <QTextBlock>
#include <QTextDocument>
#include <array>

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
};
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void everyCharacterComesBack();
    void formatSettersRefuseWhatTheyCannotShow();
    void findHonoursStartAndOptions();
    void pasteBringsPlainTextAndKeepsLongLinesLinear();
    void copyOffersTheTextAsHtmlToo();
    void shapeIsKnownWhenAChangeIsAnnounced();
    void longCiphertextIsPaintedInItsFormat();
    void positionsTranslateAcrossSoftBreaks_data();
    void positionsTranslateAcrossSoftBreaks();
};

void TestEditor::everyCharacterComesBack() {
    // Non-breaking space and control characters included. The "\r", a line break read back as "\n",
    // makes Text() read the document rather than keep the text as it was set.
    QString all;
    for (char16_t c = 1; c < 256; ++c)
        all += QChar(c);
    EntryEditor editor;
    editor.setText(all);
    QCOMPARE(editor.Text(), all.replace(u'\r', u'\n'));
}

void TestEditor::formatSettersRefuseWhatTheyCannotShow() {
    platform::SystemColors::setSource([](int index) { return index == 5 ? qRgb(1, 2, 3) : qRgb(9, 9, 9); });
    platform::FontList::setSource([] { return QStringList{QStringLiteral("Beta Serif")}; });
    const auto restore = qScopeGuard([] {
        platform::FontList::setSource({});
        platform::SystemColors::setSource({});
    });
    EntryEditor editor;
    QVERIFY(editor.setBackColor(-2147483643) && editor.setSelColor(QStringLiteral("255")));
    // The system colour resolved, the number read as a colour.
    QCOMPARE(std::pair(editor.palette().color(QPalette::Base), editor.palette().color(QPalette::Text)),
             std::pair(QColor(1, 2, 3), QColor(255, 0, 0)));
    QVERIFY(!editor.setSelColor(QStringLiteral("red")) && !editor.setSelColor(16777216));
    QVERIFY(!editor.setBackColor(-5));
    QCOMPARE(std::pair(editor.SelColor(), editor.BackColor()), std::pair(255, -2147483643));

    QVERIFY(editor.setSelFontName(QStringLiteral("Beta Serif")) && editor.setSelFontSize(12));
    QVERIFY(!editor.setSelFontName(QStringLiteral("No Such Face")));
    QVERIFY(!editor.setSelFontSize(0) && !editor.setSelFontSize(5000));
    QCOMPARE(std::pair(editor.font().family(), editor.font().pointSize()),
             std::pair(QStringLiteral("Beta Serif"), 12));
}

void TestEditor::findHonoursStartAndOptions() {
    EntryEditor editor;
    editor.setText(QStringLiteral("Cat scatter cat"));
    const QString cat = QStringLiteral("cat");
    // In turn: found from the start, then inside a word with its selection, as a whole word only, not in
    // the case asked for (leaving the selection), and not from the end.
    QCOMPARE((QList<int>{editor.Find(cat, 0, 0), editor.Find(cat, 1, 0), editor.SelStart(),
                         editor.SelLength(), editor.Find(cat, 1, EntryEditor::WholeWord),
                         editor.Find(QStringLiteral("Cat"), 1, EntryEditor::MatchCase), editor.SelStart(),
                         editor.SelLength(), editor.Find(cat, 15, 0)}),
             (QList<int>{0, 5, 5, 3, 12, -1, 12, 3, -1}));
}

void TestEditor::pasteBringsPlainTextAndKeepsLongLinesLinear() {
    EntryEditor editor;
    auto* data = new QMimeData;
    data->setText(QStringLiteral("bold words"));
    data->setHtml(QStringLiteral("<b>bold</b> words"));
    QApplication::clipboard()->setMimeData(data);
    editor.paste();
    QCOMPARE(editor.Text(), QStringLiteral("bold words"));
    QVERIFY(!QTextCursor(editor.document()).charFormat().hasProperty(QTextFormat::FontWeight));
    QVERIFY(!editor.wrapsAnywhere());

    // A ciphertext is one unbroken line: it wraps anywhere, set or pasted, until the text is gone.
    editor.setText(QStringLiteral("737") + QString(4000, QLatin1Char('A')));
    QVERIFY(editor.wrapsAnywhere());
    editor.setText(QStringLiteral("ordinary words wrap at their boundaries"));
    QVERIFY(!editor.wrapsAnywhere());
    QApplication::clipboard()->setText(QString(EntryEditor::LongRun, QLatin1Char('F')));
    editor.paste();
    QVERIFY(editor.wrapsAnywhere());
    editor.selectAll();
    QTest::keyClick(&editor, Qt::Key_Delete);
    QVERIFY(!editor.wrapsAnywhere());
}

void TestEditor::copyOffersTheTextAsHtmlToo() {
    // A copy over soft breaks offers its characters as HTML as well; a plain
    // text reads as Qt's copies always have, with non-breaking spaces as spaces.
    const QString cipher = ciphertext(qsizetype{3} * kChunk);
    ShownEditor editor;
    editor.setText(cipher);
    const QString part = cipher.mid(kChunk - 10, kChunk + 20);
    editor.setSelStart(kChunk - 10);
    editor.setSelLength(int(part.size()));
    QTest::keyClick(&editor, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* copied = QApplication::clipboard()->mimeData();
    QCOMPARE(copied->text(), part);
    QVERIFY(copied->html().contains(part));

    editor.setText(QStringLiteral("a") + QChar(QChar::Nbsp) + QStringLiteral("b\n") +
                   blob(qsizetype{2} * kChunk));
    QTest::keyClick(&editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("a b\n") + blob(qsizetype{2} * kChunk));
}

void TestEditor::shapeIsKnownWhenAChangeIsAnnounced() {
    // Receivers of textChanged ask for the shape of the new text at once.
    ShownEditor editor;
    QList<bool> announced;
    connect(&editor, &EntryEditor::textChanged, &editor, [&]() { announced << editor.holdsCiphertext(); });
    editor.setText(ciphertext(qsizetype{2} * kChunk + 10));
    editor.setSelStart(kChunk);
    QTest::keyClick(&editor, Qt::Key_Return); // a line break: plain
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    editor.setSelStart(2);
    QTest::keyClick(&editor, Qt::Key_Backspace); // the marker's "3" gone
    QTest::keyClicks(&editor, QStringLiteral("3"));
    editor.setSelStart(kChunk + 3);
    QTest::keyClicks(&editor, QStringLiteral("a"));
    QCOMPARE(announced, (QList<bool>{true, false, true, false, true, true}));
}

void TestEditor::longCiphertextIsPaintedInItsFormat() {
    ShownEditor editor;
    editor.setText(ciphertext(qsizetype{2} * 1024 * 1024));
    editor.setBackColor(0x800000);   // dark blue
    editor.setSelColor(0x00FFFF);    // yellow
    editor.setSelStart(1024 * 1024); // the middle of the line is on the screen
    const QPalette palette = editor.palette();
    // The pixels of the viewport in the background's colour, in the text's and in the selection's.
    const auto pixels = [&] {
        QApplication::processEvents();
        const QImage image = editor.viewport()->grab().toImage();
        std::array<int, 3> counts{};
        for (int i = 0; i < image.width() * image.height(); ++i) {
            const QColor c = image.pixelColor(i % image.width(), i / image.width());
            counts[0] += c == QColor(0, 0, 0x80);
            counts[1] += c.red() > 160 && c.green() > 160 && c.blue() < 100;
            counts[2] += c == palette.color(QPalette::Active, QPalette::Highlight) ||
                         c == palette.color(QPalette::Inactive, QPalette::Highlight);
        }
        return counts;
    };
    const int area = editor.viewport()->width() * editor.viewport()->height();
    const auto plain = pixels();
    QVERIFY(plain[0] > area / 2 && plain[1] > area / 50 && plain[2] == 0); // rows of text, in its colour
    QVERIFY(editor.viewport()->rect().contains(editor.cursorRect()));      // and the caret with them
    editor.setSelLength(300);
    QVERIFY(pixels()[2] > area / 100);
    editor.setSelLength(0);
    editor.setSelBold(true);
    QVERIFY(pixels()[1] > plain[1] * 11 / 10);
}

void TestEditor::positionsTranslateAcrossSoftBreaks_data() {
    // A text set into an empty document, then the span from..to taken out of it.
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("anywhere");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<int>("softBreaks"); // at least
    QTest::newRow("empty") << QString() << false << 0 << 0 << 0;
    QTest::newRow("one chunk") << QStringLiteral("Dear diary\nshort") << false << 0 << 0 << 0;
    QTest::newRow("two chunks") << blob(SoftBreaks::MaxChunk + 1) << false << 0 << 0 << 1;
    QTest::newRow("two chunks merged") << blob(SoftBreaks::MaxChunk + 1) << false << 100 << 3000 << 0;
    QTest::newRow("several chunks") << blob(qsizetype{6} * kChunk) << false << 0 << 0 << 4;
    QTest::newRow("several, two breaks taken out")
        << blob(qsizetype{6} * kChunk) << false << 2 * kChunk - 50 << 4 * kChunk << 2;
    QTest::newRow("lines of chunks") << blob(qsizetype{3} * kChunk) + "\n\nshort\n" +
                                            blob(qsizetype{2} * kChunk, 2)
                                     << false << 0 << 0 << 3;
    QTest::newRow("a ciphertext cut anywhere") << ciphertext(qsizetype{5} * kChunk) << true << 0 << 0 << 3;
}

void TestEditor::positionsTranslateAcrossSoftBreaks() {
    QFETCH(QString, text);
    QFETCH(bool, anywhere);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(int, softBreaks);
    QTextDocument document;
    SoftBreaks breaks(&document);
    breaks.replace(0, 0, text, {anywhere, 0, {}});
    breaks.replace(from, to, {}, {anywhere, 0, {}});
    text.remove(from, to - from);
    QCOMPARE(breaks.text(), text);
    // Each soft break, read from the document's blocks: a text position with
    // the end of one chunk before it and the start of the next after it.
    int found = 0;
    for (QTextBlock block = document.begin().next(); block.isValid(); block = block.next())
        if (SoftBreaks::isSoft(block)) {
            QCOMPARE(breaks.toDocument(block.position() - ++found, SoftBreaks::Before), block.position() - 1);
            QCOMPARE(breaks.toDocument(block.position() - found, SoftBreaks::After), block.position());
        }
    QVERIFY(found >= softBreaks && breaks.count() == found);
    // Every position, on either side of a soft break: it comes back, and names its character.
    for (int at = 0; at <= text.size(); ++at) {
        const int before = breaks.toDocument(at, SoftBreaks::Before);
        const int after = breaks.toDocument(at, SoftBreaks::After);
        QVERIFY(breaks.toText(before) == at && breaks.toText(after) == at);
        QCOMPARE(after - before, int(breaks.isSoftBreak(at)));
        const QChar expected = at == text.size() || text[at] == u'\n' ? QChar::ParagraphSeparator : text[at];
        QCOMPARE(document.characterAt(after), expected);
    }
    // Positions past the ends of the text are at the ends of the document.
    const int end = document.characterCount() - 1;
    QVERIFY(breaks.toDocument(-3) == 0 && breaks.toDocument(int(text.size()) + 5) == end);
    QCOMPARE(breaks.toText(end), int(text.size()));
}

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
