#include "dialogs/frmDecrypt.h"

#include "crypto/Windows1252.h"
#include "platform/AppInfo.h"
#include "platform/MessageBoxes.h"
#include "platform/Named.h"
#include "platform/PendingEvents.h"
#include "platform/WindowFront.h"
#include "resources/Icons.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <limits>

namespace {

const char* const kCaption = "Enter Encryption Key";
const char* const kIntro =
    "Enter Encryption Key Below.  If you forget your key, you will never get your message "
    "decrypted.  Use the Key Hint to help you remember the Key, without giving it away.";
const char* const kMissingTitle = "No Password Entered";
const char* const kMissingKey =
    "Please enter a password\r\n\r\nFor more information on\r\n passwords see help.";
const char* const kMissingHint = "Please enter a Hint\r\n\r\nFor more information on\r\n Hints see help.";
const char* const kUnusableKeyTitle = "Key Character Not Usable";
const char* const kUnusableKey =
    "Please enter a password without %1\r\n\r\nKeys can hold only the characters of the Western European "
    "set, or tick Strong encryption.\r\nFor more information on\r\n passwords see help.";
const char* const kRevealingHintTitle = "Hint Gives Away the Key";
const char* const kRevealingHint =
    "Please enter a Hint that does not contain the key\r\n\r\nThe hint is stored unencrypted: choose one "
    "that reminds you of the key without giving it away.\r\nFor more information on\r\n Hints see help.";
const char* const kHintTip = "Click here if you Forgot your password.";
const char* const kStrongNote = "Earlier versions cannot open entries saved this way.";

// A key this short could turn up in any hint by chance; only a hint that is
// the key itself gives it away.
constexpr int kShortKey = 4;

bool hintGivesAwayKey(const QString& hint, const QString& key) {
    if (key.size() < kShortKey)
        return hint.trimmed().compare(key.trimmed(), Qt::CaseInsensitive) == 0;
    return hint.contains(key, Qt::CaseInsensitive);
}

// Keys and hints are taken whatever their length.
constexpr int kUnlimited = std::numeric_limits<int>::max();

void keepPlaceWhenHidden(QWidget* widget) {
    QSizePolicy policy = widget->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    widget->setSizePolicy(policy);
}

} // namespace

frmDecrypt* frmDecrypt::shared(QWidget* owner) {
    QPointer<frmDecrypt>& dialog = platform::soleInstance<frmDecrypt>();
    if (!dialog)
        dialog = new frmDecrypt(owner);
    else if (dialog->parentWidget() != owner)
        dialog->setParent(owner, dialog->windowFlags());
    return dialog;
}

frmDecrypt* frmDecrypt::loaded() {
    return platform::soleInstance<frmDecrypt>();
}

void frmDecrypt::unloadShared() {
    delete platform::soleInstance<frmDecrypt>().data();
}

frmDecrypt::Answer frmDecrypt::ask(QWidget* owner, bool yGETnSET, const QString& strHint) {
    return ask(owner, yGETnSET, strHint, NewKey());
}

frmDecrypt::Answer frmDecrypt::ask(QWidget* owner, bool yGETnSET, const QString& strHint,
                                   const NewKey& newKey) {
    QPointer<frmDecrypt> dialog = shared(owner);
    dialog->hide();
    dialog->emptyKeyBox();
    dialog->chkStrong->setChecked(newKey.strong);
    dialog->m_legacyAccepts = newKey.legacyAccepts;
    dialog->SetMode(yGETnSET, strHint);
    dialog->exec();
    // Unloaded while it was up: nothing was confirmed.
    if (!dialog)
        return {};
    dialog->m_legacyAccepts = nullptr;
    Answer answer{dialog->txtPhiVer->text(), dialog->txtHint->text(),
                  !yGETnSET && dialog->chkStrong->isChecked()};
    dialog->emptyKeyBox();
    return answer;
}

frmDecrypt::frmDecrypt(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmDecrypt"));
    setWindowTitle(QString::fromLatin1(kCaption));
    setModal(true);
    buildControls();
    applyMask(true);
    txtPhiVer->setFocus();
}

void frmDecrypt::buildControls() {
    // Masked characters show as "*", as in the rest of the program's texts.
    setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));

    Label2 = platform::named(new QLabel(QString::fromLatin1(kIntro), this), "Label2");
    Label2->setWordWrap(true);
    Label2->setFixedWidth(Label2->fontMetrics().averageCharWidth() * 58);

    txtPhiVer = platform::named(new QLineEdit(this), "txtPhiVer");
    txtPhiVer->setMaxLength(kUnlimited);
    lblLabels = platform::named(new QLabel(QStringLiteral("&Enter Encryption Key:"), this), "lblLabels");
    lblLabels->setBuddy(txtPhiVer);

    txtHint = platform::named(new QLineEdit(this), "txtHint");
    txtHint->setMaxLength(kUnlimited);
    txtHint->setEchoMode(QLineEdit::Password);
    txtHint->installEventFilter(this);
    lblHint = platform::named(new QLabel(QStringLiteral("Key Hint:"), this), "lblHint");
    lblHint->setBuddy(txtHint);

    imgHint = platform::named(new QToolButton(this), "imgHint");
    imgHint->setIcon(resources::icon(QStringLiteral("hint")));
    imgHint->setIconSize(QSize(24, 24));
    imgHint->setAutoRaise(true);
    imgHint->setFocusPolicy(Qt::NoFocus);
    imgHint->setCursor(Qt::PointingHandCursor);
    imgHint->setToolTip(QString::fromLatin1(kHintTip));
    imgHint->setAccessibleName(QStringLiteral("Show key hint"));

    chkStrong = platform::named(new QCheckBox(QStringLiteral("&Strong encryption"), this), "chkStrong");
    chkStrong->setAccessibleName(QStringLiteral("Strong encryption"));
    chkStrong->setAccessibleDescription(QString::fromLatin1(kStrongNote));
    lblStrong = platform::named(new QLabel(QString::fromLatin1(kStrongNote), this), "lblStrong");

    chkMask = platform::named(new QCheckBox(QStringLiteral("Mask"), this), "chkMask");
    chkMask->setChecked(true);

    cmdOK = platform::named(new QPushButton(QStringLiteral("OK"), this), "cmdOK");
    cmdOK->setDefault(true);
    cmdCancel = platform::named(new QPushButton(QStringLiteral("Cancel"), this), "cmdCancel");
    cmdCancel->setAutoDefault(false);

    // The picture takes the hint's place in GET mode; the hint row keeps its
    // height either way so that the dialog does not change size between modes.
    for (QWidget* widget :
         {static_cast<QWidget*>(lblHint), static_cast<QWidget*>(txtHint), static_cast<QWidget*>(imgHint),
          static_cast<QWidget*>(chkStrong), static_cast<QWidget*>(lblStrong)})
        keepPlaceWhenHidden(widget);

    auto* fields = new QGridLayout;
    fields->setColumnStretch(1, 1);
    fields->addWidget(lblLabels, 0, 0);
    fields->addWidget(txtPhiVer, 0, 1);
    fields->addWidget(lblHint, 1, 0);
    fields->addWidget(txtHint, 1, 1);
    fields->addWidget(imgHint, 1, 1, Qt::AlignLeft | Qt::AlignVCenter);
    fields->addWidget(chkStrong, 2, 1, Qt::AlignLeft);
    fields->addWidget(lblStrong, 3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(chkMask);
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(Label2);
    layout->addSpacing(6);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addLayout(buttons);

    setTabOrder(txtPhiVer, txtHint);
    setTabOrder(txtHint, chkStrong);
    setTabOrder(chkStrong, chkMask);
    setTabOrder(chkMask, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(chkMask, &QCheckBox::toggled, this, &frmDecrypt::applyMask);
    connect(imgHint, &QToolButton::clicked, this, &frmDecrypt::revealHint);
    connect(cmdOK, &QPushButton::clicked, this, &frmDecrypt::confirm);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDecrypt::reject);
}

void frmDecrypt::SetMode(bool yGETnSET, const QString& strHint) {
    m_ynGetMode = yGETnSET;
    // A new key wants a new hint; what the box holds from an earlier use is offered again.
    showHint(!yGETnSET);
    // The form is chosen only for a new key: a stored text carries its own.
    chkStrong->setVisible(!yGETnSET);
    lblStrong->setVisible(!yGETnSET);
    if (yGETnSET)
        txtHint->setText(strHint);
    txtPhiVer->setFocus();
}

void frmDecrypt::reject() {
    emptyKeyBox();
    QDialog::reject();
}

bool frmDecrypt::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate)
        txtPhiVer->setFocus();
    return QDialog::event(event);
}

// The hint is readable only while the user works in its box.
bool frmDecrypt::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtHint) {
        if (event->type() == QEvent::FocusIn)
            txtHint->setEchoMode(QLineEdit::Normal);
        else if (event->type() == QEvent::FocusOut)
            txtHint->setEchoMode(QLineEdit::Password);
    }
    return QDialog::eventFilter(watched, event);
}

// setText rather than clear(): it also drops the box's undo history, which
// would otherwise give the key back.
void frmDecrypt::emptyKeyBox() {
    txtPhiVer->setText(QString());
}

void frmDecrypt::applyMask(bool masked) {
    txtPhiVer->setEchoMode(masked ? QLineEdit::Password : QLineEdit::Normal);
}

// The hint row, or in its place the picture that reveals it.
void frmDecrypt::showHint(bool shown) {
    imgHint->setVisible(!shown);
    lblHint->setVisible(shown);
    txtHint->setVisible(shown);
}

void frmDecrypt::revealHint() {
    showHint(true);
    platform::PendingEvents::run();
    txtHint->setFocus();
}

// A key to open an entry is taken as it is: entries stored with any key
// must still open. A new key must reach the cipher unchanged, and its hint
// must not hand it to whoever reads the file.
void frmDecrypt::confirm() {
    const QString key = txtPhiVer->text();
    if (key.isEmpty()) {
        refuse(QString::fromLatin1(kMissingTitle), QString::fromLatin1(kMissingKey), txtPhiVer);
        return;
    }
    if (!m_ynGetMode) {
        // Only the legacy form turns characters into Windows-1252 bytes.
        const bool legacy = !chkStrong->isChecked();
        const qsizetype unusable = legacy ? crypto::Windows1252::firstUnrepresentable(key) : -1;
        if (unusable >= 0) {
            refuse(
                QString::fromLatin1(kUnusableKeyTitle),
                QString::fromLatin1(kUnusableKey).arg(crypto::Windows1252::describeCharacter(key, unusable)),
                txtPhiVer);
            return;
        }
        if (txtHint->text().isEmpty()) {
            refuse(QString::fromLatin1(kMissingTitle), QString::fromLatin1(kMissingHint), txtHint);
            return;
        }
        if (hintGivesAwayKey(txtHint->text(), key)) {
            refuse(QString::fromLatin1(kRevealingHintTitle), QString::fromLatin1(kRevealingHint), txtHint);
            return;
        }
        if (legacy && m_legacyAccepts && !m_legacyAccepts(this)) {
            if (isVisible())
                chkStrong->setFocus();
            return;
        }
    }
    accept();
}

void frmDecrypt::refuse(const QString& title, const QString& text, QWidget* field) {
    platform::MessageBoxSpec box;
    box.title = title;
    box.text = text;
    box.icon = platform::MsgIcon::Exclamation;
    box.buttons = QMessageBox::Ok | QMessageBox::Help;
    box.defaultButton = QMessageBox::Ok;
    box.helpAnchor = QString::fromLatin1(appinfo::HelpKeysAnchor);
    platform::MessageBoxes::show(this, box);
    // Back to the box that needs changing, unless the dialog went meanwhile.
    if (isVisible())
        field->setFocus();
}
