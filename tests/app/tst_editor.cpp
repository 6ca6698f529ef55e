// The editor control on its own: text in and out, selection, colours, fonts,
// find, pasting and the wrap mode chosen for long unbroken lines.
#include "app/editor/EntryEditor.h"
#include "platform/FontList.h"
#include "platform/SystemColors.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextCursor>

namespace {
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

QTEST_MAIN(TestEditor)
#include "tst_editor.moc"
