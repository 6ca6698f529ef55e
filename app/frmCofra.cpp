#include "app/frmCofra.h"

#include "app/AppStyle.h"
#include "app/FormatController.h"
#include "app/WinSettings.h"
#include "crypto/TextCipher.h"
#include "dialogs/FindState.h"
#include "dialogs/frmAbout.h"
#include "dialogs/frmFind.h"
#include "editor/EntryEditor.h"
#include "flows/EncryptionState.h"
#include "flows/EntryFlows.h"
#include "flows/StoreErrorBox.h"
#include "picker/ColourSwatch.h"
#include "picker/frmSmallColor.h"
#include "platform/AppInfo.h"
#include "platform/AppPath.h"
#include "platform/BusyCursor.h"
#include "platform/MessageBoxes.h"
#include "platform/Named.h"
#include "platform/PendingEvents.h"
#include "platform/Screen.h"
#include "platform/ScrollBarNames.h"
#include "platform/Shell.h"
#include "resources/Icons.h"

#include <QCloseEvent>
#include <QIcon>
#include <QLocale>
#include <QMenuBar>
#include <QTextDocument>
#include <QToolButton>
#include <QtMath>

namespace {

constexpr double kEditorLeft = 0;
constexpr double kEditorTop = 720;
constexpr double kMargin = 25;

struct ToolButton {
    double left;
    const char* tooltip;
    const char* name; // what a screen reader announces: the buttons show only pictures
    const char* icon; // button 0 shows the encryption state instead
};
// In the order of the button array.
constexpr ToolButton kToolBar[] = {
    {2400, "Toggle Entry Encryption State", "Encrypt or decrypt", nullptr},
    {720, "Open Entry", "Open entry", "open"},
    {1440, "Save Entry", "Save entry", "save"},
    {0, "New Entry", "New entry", "new"},
};

QString productName() {
    return QString::fromLatin1(appinfo::ProductName);
}

} // namespace

frmCofra::frmCofra(QWidget* parent) : QMainWindow(parent) {
    AppStyle::install();
    setObjectName(QStringLiteral("frmCofra"));
    setWindowTitle(productName());
    setWindowIcon(resources::icon(QString::fromLatin1(appinfo::IconName)));

    // The cipher runs this program's busy pointer and pending events; the store asks its questions here.
    crypto::setCipherHooks({&modCofra::SetBusyCursor, &platform::PendingEvents::run});
    store::installErrorBox();

    m_client = platform::named(new QWidget(this), "client");
    setCentralWidget(m_client);

    buildToolBar(m_client);
    txtMain = platform::named(new EntryEditor(m_client), "txtMain");
    txtMain->setAccessibleName(QStringLiteral("Entry text"));
    platform::nameScrollBars(txtMain);
    platform::Screen::place(txtMain, kEditorLeft, kEditorTop, 7000, 3000);
    m_format = new FormatController(m_client, txtMain, m_doc, this);
    connect(m_format, &FormatController::colourSwatchClicked, this, [this](int index) {
        const auto applyColour = [editor = QPointer<EntryEditor>(txtMain)](int passDex, qint32 colour) {
            if (!editor)
                return;
            // The whole text takes the colour; the caret goes back where it was.
            const int caret = editor->SelStart();
            editor->setSelStart(0);
            editor->setSelLength(editor->length());
            if (passDex == 0)
                editor->setSelColor(colour);
            else
                editor->setBackColor(colour);
            editor->setSelStart(caret);
        };
        frmSmallColor* picker = frmSmallColor::open(this, applyColour, m_format->cmdColors());
        picker->PassDex = static_cast<qint16>(index);
    });

    m_encryption = new EncryptionState(
        this, txtMain, cmdToolBar[0], m_doc, [this]() { ApplyFormat(); }, this);
    m_flows = new EntryFlows(
        this, txtMain, m_doc, *m_encryption, [this]() { ApplyFormat(); }, this);
    m_settings = std::make_unique<WinSettings>(this, txtMain, m_format->cmdColors(), m_doc,
                                               [this]() { return smallestUsableSize(); });
    m_encryption->ShowEncryptionState();

    buildMenus();
    m_client->installEventFilter(this);
    setTabOrder(m_format->cmdColors()[0], txtMain);
}

frmCofra::~frmCofra() = default;

void frmCofra::buildToolBar(QWidget* row) {
    for (int i = 0; i < 4; ++i) {
        auto* button = platform::named(new QToolButton(row), QStringLiteral("cmdToolBar_%1").arg(i));
        button->setToolTip(QString::fromLatin1(kToolBar[i].tooltip));
        button->setAccessibleName(QString::fromLatin1(kToolBar[i].name));
        if (kToolBar[i].icon)
            button->setIcon(resources::icon(QString::fromLatin1(kToolBar[i].icon)));
        button->setIconSize(QSize(32, 32));
        button->setFocusPolicy(Qt::TabFocus);
        platform::Screen::place(button, kToolBar[i].left, 0, 735, 615);
        connect(button, &QToolButton::clicked, this, [this, i]() { cmdToolBar_Click(i); });
        cmdToolBar.append(button);
    }
}

QAction* frmCofra::addItem(QMenu* menu, const QString& objectName, const QString& caption,
                           const QKeySequence& shortcut, std::function<void()> action) {
    QAction* item = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
    item->setObjectName(objectName);
    if (!shortcut.isEmpty())
        item->setShortcut(shortcut);
    if (action)
        connect(item, &QAction::triggered, this, std::move(action));
    return item;
}

// The menu arrays: every item reaches its array's handler with its index, and
// the handler runs the item's command from the same table. Separators and the
// items not offered have no command.
std::span<const frmCofra::MenuItem> frmCofra::menuItems(MenuArray array) {
    static const MenuItem kFile[] = {
        {0, "&New", "Ctrl+N", &frmCofra::NewEntry},
        {1, "&Open", "Ctrl+O", &frmCofra::showOpenDialog},
        {2, "&Save As...", "Ctrl+S", &frmCofra::showSaveDialog},
        {3, "-", "", nullptr},
        {4, "S&ummary...", "Ctrl+I", &frmCofra::Summary},
        {5, "-", "", nullptr},
        {6, "&Options", "", nullptr, false},
        {7, "-", "", nullptr, false},
        {8, "E&xit", "", &frmCofra::Exit},
    };
    static const MenuItem kEdit[] = {
        {1, "Select &All", "", &frmCofra::SelectAll}, {2, "-", "", nullptr},
        {3, "&Find", "Ctrl+F", &frmCofra::showFind},  {4, "Find &Next", "F3", &frmCofra::findNext},
        {5, "&Replace", "Ctrl+H", nullptr, false},
    };
    static const MenuItem kFormat[] = {
        {1, "Next F&ont", "F9", &frmCofra::nextFont},
        {2, "Hide Text", "F4", &frmCofra::hideText},
    };
    switch (array) {
    case MenuArray::File:
        return kFile;
    case MenuArray::Edit:
        return kEdit;
    case MenuArray::Format:
        break;
    }
    return kFormat;
}

void frmCofra::runMenuItem(MenuArray array, int index) {
    for (const MenuItem& item : menuItems(array)) {
        if (item.index == index && item.command && item.offered)
            (this->*item.command)();
    }
}

void frmCofra::buildMenus() {
    const auto addMenu = [this](const char* name, const char* caption) {
        QMenu* menu = menuBar()->addMenu(QString::fromLatin1(caption));
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    const auto addArray = [this, &addMenu](const char* menuName, const char* caption, const char* array,
                                           MenuArray which, void (frmCofra::*click)(int)) {
        QMenu* menu = addMenu(menuName, caption);
        for (const MenuItem& it : menuItems(which)) {
            QAction* action =
                addItem(menu, QStringLiteral("%1_%2").arg(QLatin1String(array)).arg(it.index),
                        QString::fromLatin1(it.caption), QKeySequence(QString::fromLatin1(it.shortcut)),
                        [this, click, i = it.index]() { (this->*click)(i); });
            // Items not offered are neither shown nor reachable by their shortcut.
            action->setVisible(it.offered);
            action->setEnabled(it.offered);
        }
    };
    const auto key = [](const char* text) { return QKeySequence(QString::fromLatin1(text)); };

    addArray("MenuFile", "&File", "mnuFile", MenuArray::File, &frmCofra::mnuFile_Click);
    addArray("MenuEdit", "&Edit", "mnuEdit", MenuArray::Edit, &frmCofra::mnuEdit_Click);
    addArray("MenuFormat", "F&ormat", "MnuFormat", MenuArray::Format, &frmCofra::MnuFormat_Click);
    QMenu* help = addMenu("MenuHelp", "&Help");
    addItem(help, QStringLiteral("MnuHelpFile"), QStringLiteral("&Contents"), key("F1"),
            [this]() { MnuHelpFile_Click(); });
    addItem(help, QStringLiteral("MnuHelp"), QStringLiteral("&About"), {}, [this]() { MnuHelp_Click(); });
    // The arrow a narrow window shows for the menus that do not fit: named
    // like any other control, or a screen reader would call it just "button".
    if (auto* more = menuBar()->findChild<QWidget*>(QStringLiteral("qt_menubar_ext_button")))
        more->setAccessibleName(QStringLiteral("More menus"));
}

void frmCofra::Form_Load() {
    if (modCofra::strAppPath.isEmpty())
        platform::initAppPath();
    LoadWinSettings();
    show();
    ApplyFormat();
    m_format->FillFontControls();
    m_format->selectStandardSize();
    // Once the font is the one the editor keeps, so that its lines are the ones counted.
    fitUsableSize();
    txtMain->setFocus();
}

// The row of controls above the editor is wider than the default width, so a
// window that started at that width would cut off the text-colour swatch. Only
// the start widens it (or makes it taller, for a few lines of text); the user
// may make it smaller afterwards.
void frmCofra::fitUsableSize() {
    if (isMaximized() || isFullScreen())
        return;
    const QSize needed = smallestUsableSize();
    if (width() < needed.width() || height() < needed.height())
        resize(qMax(width(), needed.width()), qMax(height(), needed.height()));
}

// The whole row of controls above the editor, and a few lines of text below it.
QSize frmCofra::smallestUsableSize() const {
    using platform::Screen;
    int right = 0;
    for (const QWidget* control : m_client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (control != txtMain)
            right = qMax(right, control->geometry().right() + 1);
    }
    // The client spans the whole width of the window: there are no side docks.
    const int width = right + Screen::toPixelsX(kMargin);
    // Below the menu bar: the row, the editor's frame and page margins, the lines.
    constexpr int kLines = 3;
    const int editor = 2 * (txtMain->frameWidth() + qCeil(txtMain->document()->documentMargin())) +
                       kLines * txtMain->fontMetrics().lineSpacing();
    const int height =
        menuBar()->sizeHint().height() + Screen::toPixelsY(kEditorTop) + editor + Screen::toPixelsY(kMargin);
    const QSize screen = Screen::sizePixels();
    return {qMin(width, screen.width()), qMin(height, screen.height())};
}

void frmCofra::MainOpen(qint64 lngKID) {
    m_flows->MainOpen(lngKID);
}
void frmCofra::MainSave(const QString& strName) {
    m_flows->MainSave(strName);
}
void frmCofra::SaveWinSettings() {
    m_settings->SaveWinSettings();
}
void frmCofra::LoadWinSettings() {
    m_settings->LoadWinSettings();
}

void frmCofra::FindNextFromCursor() {
    const int options = (modCofra::ynFindWholeWord ? EntryEditor::WholeWord : 0) +
                        (modCofra::ynFindMatchCase ? EntryEditor::MatchCase : 0);
    txtMain->Find(modCofra::strFindText, txtMain->SelStart() + 1, options);
}

void frmCofra::cmdToolBar_Click(int index) {
    // Buttons 1 to 3 are the File menu's Open, Save As and New.
    switch (index) {
    case 0:
        m_encryption->ToggleEncryption();
        break;
    case 1:
    case 2:
        mnuFile_Click(index);
        break;
    case 3:
        mnuFile_Click(0);
        break;
    default:
        break;
    }
}

void frmCofra::mnuFile_Click(int index) {
    runMenuItem(MenuArray::File, index);
}
void frmCofra::mnuEdit_Click(int index) {
    runMenuItem(MenuArray::Edit, index);
}
void frmCofra::MnuFormat_Click(int index) {
    runMenuItem(MenuArray::Format, index);
}

void frmCofra::showOpenDialog() {
    m_flows->ShowOpenDialog();
}
void frmCofra::showSaveDialog() {
    m_flows->ShowSaveDialog();
}
void frmCofra::findNext() {
    if (modCofra::strFindText.isEmpty())
        showFind();
    else
        FindNextFromCursor();
}
void frmCofra::nextFont() {
    m_format->NextFont();
}
void frmCofra::hideText() {
    m_format->HideText();
}

void frmCofra::MnuHelpFile_Click() {
    QString target = QString::fromLatin1(appinfo::HelpFile);
    modCofra::OpenWithShell(target);
}

void frmCofra::MnuHelp_Click() {
    frmAbout::showFor(this);
}

bool frmCofra::askSaveChanges() {
    if (txtMain->isEmpty())
        return true;
    platform::MessageBoxSpec box;
    box.title = QStringLiteral("Save Changes?");
    box.text = QStringLiteral("Would you like to              \r\n\r\nSave Changes?");
    box.icon = platform::MsgIcon::Question;
    box.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    switch (platform::MessageBoxes::show(this, box)) {
    case QMessageBox::Yes:
        // The command goes on only once the text is stored; a save that did
        // not happen, for whatever reason, keeps everything as it is.
        return m_flows->saveThroughChooser();
    case QMessageBox::No:
        platform::PendingEvents::run();
        return true;
    default:
        return false;
    }
}

void frmCofra::NewEntry() {
    if (!askSaveChanges())
        return;
    txtMain->setText(QString());
    setWindowTitle(productName());
    m_doc.lngEntryID = 0;
    m_doc.strEntryName.clear();
    m_doc.strEntryHint.clear();
    m_doc.strEntryText.clear();
    m_encryption->rememberCiphertext(QString());
    ApplyFormat();
}

void frmCofra::Summary() {
    const int length = txtMain->length();
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() & ~QLocale::OmitGroupSeparator);
    platform::MessageBoxSpec box;
    box.title = QStringLiteral("Text Summary");
    box.text = QStringLiteral(" # of Characters = ") + (length > 0 ? locale.toString(length) : QString());
    box.icon = platform::MsgIcon::Information;
    box.buttons = QMessageBox::Ok;
    platform::MessageBoxes::show(this, box);
}

void frmCofra::SelectAll() {
    txtMain->setSelStart(0);
    txtMain->setSelLength(txtMain->length());
}

void frmCofra::Exit() {
    if (!askSaveChanges())
        return;
    close();
}

void frmCofra::ApplyFormat() {
    m_format->ApplyFormat();
}

void frmCofra::showFind() {
    frmFind::showFor(this, [this]() { FindNextFromCursor(); });
}

void frmCofra::Form_Resize() {
    using platform::Screen;
    if (isMinimized())
        return;
    const double height = Screen::toTwipsY(m_client->height()) - kEditorTop - kMargin;
    const double width = Screen::toTwipsX(m_client->width()) - kEditorLeft - kMargin;
    // A size that cannot be set leaves that dimension as it was.
    if (height >= 0)
        txtMain->resize(txtMain->width(), Screen::toPixelsY(height));
    if (width >= 0)
        txtMain->resize(Screen::toPixelsX(width), txtMain->height());
}

bool frmCofra::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_client && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void frmCofra::closeEvent(QCloseEvent* event) {
    SaveWinSettings();
    platform::MessageBoxSpec box;
    box.title = QString::fromLatin1(appinfo::AppTitle);
    box.text = QStringLiteral("Quit?");
    box.icon = platform::MsgIcon::None;
    box.buttons = QMessageBox::Yes | QMessageBox::No;
    if (platform::MessageBoxes::show(this, box) != QMessageBox::Yes) {
        event->ignore();
        return;
    }
    // The dialogs this window owns go with it; their own loops end when they are hidden.
    for (QObject* child : children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && widget->isWindow() && widget->isVisible())
            widget->close();
    }
    event->accept();
}
