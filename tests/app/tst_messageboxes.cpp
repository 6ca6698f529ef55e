// Escape in the program's message boxes, answered by the scripted responder and
// pressed on the box itself: both must give the answer that leaves things as they were.
#include "platform/MessageBoxes.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScriptedMessages.h"

#include <QApplication>
#include <QTest>

using M = QMessageBox;

class TestMessageBoxes : public QObject {
    Q_OBJECT
private slots:
    // Every button set the program shows, with the default it gives it.
    void escapeAnswers_data() {
        QTest::addColumn<M::StandardButtons>("buttons");
        QTest::addColumn<M::StandardButton>("defaultButton");
        QTest::addColumn<M::StandardButton>("answer");
        QTest::newRow("OK") << M::StandardButtons(M::Ok) << M::NoButton << M::Ok;
        QTest::newRow("OK and Help") << (M::Ok | M::Help) << M::Ok << M::Ok;
        QTest::newRow("Yes and No") << (M::Yes | M::No) << M::NoButton << M::No;
        QTest::newRow("Yes, No and Cancel") << (M::Yes | M::No | M::Cancel) << M::No << M::Cancel;
        QTest::newRow("Abort, Retry and Ignore") << (M::Abort | M::Retry | M::Ignore) << M::Retry << M::Abort;
    }

    void escapeAnswers() {
        QFETCH(M::StandardButtons, buttons);
        QFETCH(M::StandardButton, defaultButton);
        QFETCH(M::StandardButton, answer);
        const platform::MessageBoxSpec box{"A question", "Go on?",      platform::MsgIcon::Exclamation,
                                           buttons,      defaultButton, QString()};

        // The shown box, with Escape pressed where the keyboard focus is. A box
        // that stays up is closed by the test and counts as a failure.
        ModalDriver driver;
        bool stayed = false;
        driver.onNextModal([&stayed](QWidget* shown) {
            QTest::keyClick(shown->focusWidget() ? shown->focusWidget() : shown, Qt::Key_Escape);
            if ((stayed = shown->isVisible()))
                qobject_cast<QDialog*>(shown)->done(M::NoButton);
        });
        QCOMPARE(platform::MessageBoxes::show(nullptr, box), answer);
        QVERIFY2(driver.fired() && !stayed, "no box came up, or Escape left it up");

        // The responder's Escape gives the same answer.
        ScriptedMessages messages;
        messages.queue(M::Escape);
        QCOMPARE(platform::MessageBoxes::show(nullptr, box), answer);
        QCOMPARE(messages.shown().size(), 1);
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
