// Escape in the program's message boxes, answered by the scripted responder and
// pressed on the box itself: both must give the answer that leaves things as they were.
#include "platform/MessageBoxes.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScriptedMessages.h"

#include <QApplication>
#include <QTest>

using platform::MessageBoxes;
using platform::MessageBoxSpec;
using Buttons = QMessageBox::StandardButtons;
using Button = QMessageBox::StandardButton;

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    void escapeAnswers_data();
    void escapeAnswers();
};

void TestMessageBoxes::escapeAnswers_data() {
    QTest::addColumn<Buttons>("buttons");
    QTest::addColumn<Button>("defaultButton");
    QTest::addColumn<Button>("answer");
    // Every button set the program shows, with the default it gives it.
    QTest::newRow("OK") << Buttons(QMessageBox::Ok) << QMessageBox::NoButton << QMessageBox::Ok;
    QTest::newRow("OK and Help") << (QMessageBox::Ok | QMessageBox::Help) << QMessageBox::Ok
                                 << QMessageBox::Ok;
    QTest::newRow("Yes and No") << (QMessageBox::Yes | QMessageBox::No) << QMessageBox::NoButton
                                << QMessageBox::No;
    QTest::newRow("Yes, No and Cancel") << (QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)
                                        << QMessageBox::No << QMessageBox::Cancel;
    QTest::newRow("Abort, Retry and Ignore")
        << (QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore) << QMessageBox::Retry
        << QMessageBox::Abort;
}

void TestMessageBoxes::escapeAnswers() {
    QFETCH(Buttons, buttons);
    QFETCH(Button, defaultButton);
    QFETCH(Button, answer);
    MessageBoxSpec box;
    box.title = QStringLiteral("A question");
    box.text = QStringLiteral("Go on?");
    box.icon = platform::MsgIcon::Exclamation;
    box.buttons = buttons;
    box.defaultButton = defaultButton;

    // The shown box, with Escape pressed where the keyboard focus is. A box
    // that stays up is closed by the test and counts as a failure.
    ModalDriver driver;
    bool stayed = false;
    driver.onNextModal([&stayed](QWidget* shown) {
        QWidget* focus = shown->focusWidget() ? shown->focusWidget() : shown;
        QTest::keyClick(focus, Qt::Key_Escape);
        if (shown->isVisible()) {
            stayed = true;
            qobject_cast<QDialog*>(shown)->done(QMessageBox::NoButton);
        }
    });
    const Button pressed = MessageBoxes::show(nullptr, box);
    QVERIFY(driver.fired());
    QVERIFY2(!stayed, "Escape left the box up");
    QCOMPARE(pressed, answer);

    // The responder's Escape gives the same answer.
    {
        ScriptedMessages messages;
        messages.queue(QMessageBox::Escape);
        QCOMPARE(MessageBoxes::show(nullptr, box), answer);
        QCOMPARE(messages.shown().size(), 1);
    }
}

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
