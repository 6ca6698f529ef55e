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
    // Every button set the program shows, with the default it gives it, and the
    // answer Escape must give.
    void escapeAnswers() {
        const std::tuple<M::StandardButtons, M::StandardButton, M::StandardButton> sets[] = {
            {M::Ok, M::NoButton, M::Ok},
            {M::Ok | M::Help, M::Ok, M::Ok},
            {M::Yes | M::No, M::NoButton, M::No},
            {M::Yes | M::No | M::Cancel, M::No, M::Cancel},
            {M::Abort | M::Retry | M::Ignore, M::Retry, M::Abort}};
        for (const auto& [set, byDefault, answer] : sets) {
            const platform::MessageBoxSpec box{"", "?", platform::MsgIcon::Exclamation, set, byDefault, {}};
            // The shown box, with Escape pressed where the keyboard focus is. A box
            // that stays up is closed by the test and counts as a failure.
            ModalDriver driver;
            bool stayed = false;
            driver.onNextModal([&stayed](QWidget* shown) {
                QTest::keyClick(shown->focusWidget() ? shown->focusWidget() : shown, Qt::Key_Escape);
                if ((stayed = shown->isVisible()))
                    qobject_cast<QDialog*>(shown)->done(M::NoButton);
            });
            const M::StandardButton pressed = platform::MessageBoxes::show(nullptr, box);
            QVERIFY2(driver.fired() && !stayed, "no box came up, or Escape left it up");
            // The responder's Escape gives the same answer.
            ScriptedMessages messages;
            messages.queue(M::Escape);
            QCOMPARE(std::tuple(int(set), pressed, platform::MessageBoxes::show(nullptr, box)),
                     std::tuple(int(set), answer, answer));
            QCOMPARE(messages.shown().size(), 1);
        }
    }
};

QTEST_MAIN(TestMessageBoxes)
#include "tst_messageboxes.moc"
