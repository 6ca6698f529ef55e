#include "dialogs/frmFind.h"

#include "dialogs/FindState.h"
#include "platform/Named.h"
#include "platform/Screen.h"
#include "platform/WindowFront.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

frmFind* frmFind::showFor(QWidget* owner, std::function<void()> findNext) {
    QPointer<frmFind>& dialog = platform::soleInstance<frmFind>();
    if (!dialog)
        dialog = new frmFind(owner, std::move(findNext));
    platform::bringToFront(dialog);
    return dialog;
}

frmFind* frmFind::loaded() {
    return platform::soleInstance<frmFind>();
}

frmFind::frmFind(QWidget* owner, std::function<void()> findNext)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_findNext(std::move(findNext)) {
    using platform::Screen;
    setObjectName(QStringLiteral("frmFind"));
    setWindowTitle(QStringLiteral("Find"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);

    Label1 = platform::named(new QLabel(QStringLiteral("Fi&nd What:"), this), "Label1");
    txtFind = platform::named(new QLineEdit(this), "txtFind");
    cmdFind = platform::named(new QPushButton(QStringLiteral("&Find Next"), this), "cmdFind");
    Command2 = platform::named(new QPushButton(QStringLiteral("Cancel"), this), "Command2");
    chkCase = platform::named(new QCheckBox(QStringLiteral("Match &case"), this), "chkCase");
    chkWord = platform::named(new QCheckBox(QStringLiteral("Whole Word"), this), "chkWord");
    Label1->setBuddy(txtFind);

    static constexpr Screen::Placement kPlaces[] = {
        {"Label1", 120, 240, 780, 195},    {"txtFind", 1080, 200, 2835, 285},
        {"cmdFind", 4065, 120, 1110, 345}, {"Command2", 4065, 600, 1110, 345},
        {"chkCase", 120, 1080, 1695, 375}, {"chkWord", 1920, 1080, 1815, 375},
    };
    Screen::placeAll(this, kPlaces);
    // The label and the box keep at least the size their font needs; the label
    // may grow up to the box.
    for (QWidget* w : {static_cast<QWidget*>(Label1), static_cast<QWidget*>(txtFind)}) {
        const int needed = w->sizeHint().height();
        if (w->height() < needed)
            w->setGeometry(w->x(), w->y() - (needed - w->height()) / 2, w->width(), needed);
    }
    Label1->resize(qBound(Label1->width(), Label1->sizeHint().width(), txtFind->x() - Label1->x()),
                   Label1->height());
    setFixedSize(Screen::toPixelsX(5295), Screen::toPixelsY(1575));

    setTabOrder(txtFind, cmdFind);
    setTabOrder(cmdFind, Command2);
    setTabOrder(Command2, chkCase);
    setTabOrder(chkCase, chkWord);
    cmdFind->setDefault(true);

    connect(cmdFind, &QPushButton::clicked, this, [this]() { cmdFind_Click(); });
    connect(Command2, &QPushButton::clicked, this, [this]() { Command2_Click(); });
    txtFind->setFocus();
}

void frmFind::cmdFind_Click() {
    if (!txtFind->text().isEmpty())
        modCofra::strFindText = txtFind->text();
    modCofra::ynFindMatchCase = chkCase->isChecked();
    modCofra::ynFindWholeWord = chkWord->isChecked();
    if (m_findNext)
        m_findNext();
    close();
}

void frmFind::Command2_Click() {
    close();
}
