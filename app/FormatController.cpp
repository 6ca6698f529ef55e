#include "app/FormatController.h"

#include "editor/EntryEditor.h"
#include "flows/DocumentState.h"
#include "picker/ColourSwatch.h"
#include "platform/BusyCursor.h"
#include "platform/FontList.h"
#include "platform/LocaleNumbers.h"
#include "platform/Named.h"
#include "platform/PendingEvents.h"
#include "platform/Screen.h"
#include "platform/ScrollBarNames.h"
#include "platform/SystemColors.h"
#include "resources/Icons.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QIcon>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalBlocker>
#include <QToolButton>

namespace {

constexpr qint32 kGreyText = platform::SysColorCode(platform::GrayText);
constexpr qint32 kWindowBackground = platform::SysColorCode(platform::WindowBackground);
constexpr qint32 kWhite = 0xFFFFFF;
constexpr double kFontListTop = 0;
constexpr double kFontListHeight = 645;

const char* const kSizes[] = {"2",  "4",  "6",  "7",  "8",  "9",  "10",  "12",  "14",  "16", "18",
                              "20", "22", "24", "26", "28", "73", "100", "200", "300", "400"};

struct StyleButton {
    double left, top;
    const char* tooltip;
    const char* name; // announced by a screen reader, with the toggle's state
    const char* icon;
};
// In the order of the button array: bold, underline, italic, strike-through.
constexpr StyleButton kStyles[] = {
    {6100, 0, "Change Font Bold", "Bold", "bold"},
    {6100, 300, "Change Font Underline", "Underline", "underline"},
    {6465, 0, "Change Font Italic", "Italic", "italic"},
    {6465, 300, "Change Font Strike-Thru", "Strike-through", "strike"},
};

// The size box's text read as a size: "0" in front, so an empty box reads as 0.
std::optional<qint32> readSize(const QString& text) {
    return localenumbers::readInt32(QLatin1Char('0') + text);
}

void setListBackground(QListWidget* list, qint32 colour) {
    QPalette p = list->palette();
    const QColor c = platform::SystemColors::toQColor(colour);
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        p.setColor(group, QPalette::Base, c);
    list->setPalette(p);
}

} // namespace

FormatController::FormatController(QWidget* row, EntryEditor* txtMain, DocumentState& doc, QObject* parent)
    : QObject(parent), m_row(row), m_txtMain(txtMain), m_doc(doc) {
    m_lstFont = platform::named(new QListWidget(row), "lstFont");
    m_lstFont->setToolTip(QStringLiteral("Change Font"));
    m_lstFont->setAccessibleName(QStringLiteral("Font"));
    platform::nameScrollBars(m_lstFont);
    m_lstFont->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstFont->setUniformItemSizes(true);
    m_lstFont->installEventFilter(this);

    for (int i = 0; i < 4; ++i) {
        auto* button = platform::named(new QToolButton(row), QStringLiteral("chkFnts_%1").arg(i));
        button->setCheckable(true);
        button->setAutoRaise(false);
        button->setToolTip(QString::fromLatin1(kStyles[i].tooltip));
        button->setAccessibleName(QString::fromLatin1(kStyles[i].name));
        button->setIcon(resources::icon(QString::fromLatin1(kStyles[i].icon)));
        button->setFocusPolicy(Qt::TabFocus);
        platform::Screen::place(button, kStyles[i].left, kStyles[i].top, 375, 308);
        m_chkFnts.append(button);
    }

    m_cboFSize = platform::named(new QComboBox(row), "cboFSize");
    m_cboFSize->setToolTip(QStringLiteral("Change Font Size"));
    m_cboFSize->setAccessibleName(QStringLiteral("Font size"));
    m_cboFSize->setEditable(true);
    // On Linux a screen reader hears an editable combo box by its text (the
    // size); its edit field carries the name.
    m_cboFSize->lineEdit()->setAccessibleName(QStringLiteral("Font size"));
    m_cboFSize->setInsertPolicy(QComboBox::NoInsert);
    m_cboFSize->setCompleter(nullptr); // every keystroke is a size of its own
    QStringList sizes;
    for (const char* size : kSizes)
        sizes.append(QString::fromLatin1(size));
    m_cboFSize->addItems(sizes); // at once: one by one costs a millisecond at start-up
    m_cboFSize->setCurrentIndex(-1);
    m_cboFSize->setEditText(QStringLiteral("10"));

    // The background swatch lies under the text swatch, which overlaps it towards the lower right.
    m_cmdColors = {new ColourSwatch(0, row), new ColourSwatch(kWhite, row)};
    m_cmdColors[0]->setToolTip(QStringLiteral("Change Text Fore Color"));
    m_cmdColors[1]->setToolTip(QStringLiteral("Change Back Color"));
    // Each swatch describes its colour in words as the colour changes (see ColourSwatch).
    m_cmdColors[0]->setAccessibleName(QStringLiteral("Text colour"));
    m_cmdColors[1]->setAccessibleName(QStringLiteral("Background colour"));
    for (int i = 0; i < 2; ++i) {
        m_cmdColors[i]->setObjectName(QStringLiteral("cmdColors_%1").arg(i));
        connect(m_cmdColors[i], &QAbstractButton::clicked, this,
                [this, i]() { emit colourSwatchClicked(i); });
    }
    // The style buttons are placed from their table above.
    static constexpr platform::Screen::Placement kPlaces[] = {
        {"lstFont", 3240, kFontListTop, 2775, kFontListHeight},
        {"cboFSize", 6885, 0, 735, 315},
        {"cmdColors_1", 7680, 0, 375, 308},
        {"cmdColors_0", 7920, 120, 375, 308},
    };
    platform::Screen::placeAll(row, kPlaces);
    m_cmdColors[0]->raise();

    // Program changes notify exactly like the user's: the format follows every control change.
    connect(m_lstFont, &QListWidget::currentRowChanged, this, [this]() { ReadFormatControls(); });
    // Typing, the program's changes and choices from the list all come through
    // the box's text; picking the size already shown changes nothing.
    connect(m_cboFSize, &QComboBox::editTextChanged, this, [this]() { ReadFormatControls(); });
    for (QToolButton* button : m_chkFnts)
        connect(button, &QToolButton::toggled, this, [this]() { ReadFormatControls(); });
}

void FormatController::ApplyFormat() {
    m_txtMain->setSelStart(0);
    m_txtMain->setSelLength(m_txtMain->length());
    m_txtMain->setSelColor(m_cmdColors[0]->BackColor());
    m_txtMain->setBackColor(m_cmdColors[1]->BackColor());
    m_txtMain->setSelFontName(m_doc.strFontName);
    m_txtMain->setSelBold(m_doc.ynFontBold);
    m_txtMain->setSelFontSize(m_doc.lngFontSize);
    m_txtMain->setSelItalic(m_doc.ynFontItalic);
    m_txtMain->setSelStrikeThru(m_doc.ynFontStrike);
    m_txtMain->setSelUnderline(m_doc.ynFontUnderline);
    m_txtMain->setSelLength(0);
}

void FormatController::ReadFormatControls() {
    const modCofra::BusyCursorScope busy;
    const QListWidgetItem* font = m_lstFont->currentItem();
    if (!font || font->text().isEmpty())
        m_lstFont->setCurrentRow(1);
    const std::optional<qint32> size = readSize(m_cboFSize->currentText());
    if (!size || *size < 1)
        m_cboFSize->setCurrentIndex(StandardSizeIndex);

    // Read again: the selections above may have changed both controls.
    font = m_lstFont->currentItem();
    m_doc.strFontName = font ? font->text() : QString();
    if (const std::optional<qint32> applied = readSize(m_cboFSize->currentText()))
        m_doc.lngFontSize = *applied;
    m_doc.ynFontBold = m_chkFnts[Bold]->isChecked();
    m_doc.ynFontItalic = m_chkFnts[Italic]->isChecked();
    m_doc.ynFontStrike = m_chkFnts[Strike]->isChecked();
    m_doc.ynFontUnderline = m_chkFnts[Underline]->isChecked();
    ApplyFormat();
    m_txtMain->Refresh();
}

void FormatController::FillFontControls() {
    const modCofra::BusyCursorScope busy;
    {
        // Emptying the list is not a choice of font; it must not reach the format.
        const QSignalBlocker quiet(m_lstFont);
        m_lstFont->clear();
    }
    m_lstFont->setEnabled(false);
    setListBackground(m_lstFont, kGreyText);
    // The list stays greyed while it fills; repainting it for every name would
    // cost more than the filling itself.
    m_lstFont->setUpdatesEnabled(false);
    for (const QString& family : platform::FontList::families()) {
        if (!family.isEmpty())
            m_lstFont->addItem(family);
        platform::PendingEvents::run();
    }
    m_lstFont->setUpdatesEnabled(true);
    setListBackground(m_lstFont, kWindowBackground);
    m_lstFont->setEnabled(true);

    const QList<QListWidgetItem*> matches = m_lstFont->findItems(m_doc.strFontName, Qt::MatchFixedString);
    if (!m_doc.strFontName.isEmpty() && !matches.isEmpty())
        m_lstFont->setCurrentItem(matches.first());
    const QListWidgetItem* selected = m_lstFont->currentItem();
    m_doc.strFontName = selected ? selected->text() : QString();

    m_cboFSize->setEditText(QString::number(m_doc.lngFontSize));
    m_chkFnts[Bold]->setChecked(m_doc.ynFontBold);
    m_chkFnts[Italic]->setChecked(m_doc.ynFontItalic);
    m_chkFnts[Strike]->setChecked(m_doc.ynFontStrike);
    m_chkFnts[Underline]->setChecked(m_doc.ynFontUnderline);
}

void FormatController::selectStandardSize() {
    m_cboFSize->setCurrentIndex(StandardSizeIndex);
}

void FormatController::NextFont() {
    const int next = m_lstFont->currentRow() + 1;
    m_lstFont->setCurrentRow(next < m_lstFont->count() ? next : 0);
}

void FormatController::HideText() {
    const std::optional<double> size = localenumbers::readNumber(m_cboFSize->currentText());
    if (!size || *size == 2.0) {
        m_cboFSize->setEditText(QStringLiteral("10"));
        return;
    }
    m_cboFSize->setEditText(QStringLiteral("2"));
    ReadFormatControls();
}

bool FormatController::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_lstFont) {
        switch (event->type()) {
        case QEvent::FocusIn:
            fontListFocus(true);
            break;
        case QEvent::FocusOut:
            fontListFocus(false);
            break;
        case QEvent::KeyPress:
            // Let the list move its selection first, then take the format from it.
            m_lstFont->removeEventFilter(this);
            QCoreApplication::sendEvent(m_lstFont, event);
            m_lstFont->installEventFilter(this);
            ReadFormatControls();
            return true;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void FormatController::fontListFocus(bool gained) {
    if (gained) {
        // Drop down over the editor while choosing.
        const int top = platform::Screen::toPixelsY(kFontListTop);
        m_lstFont->resize(m_lstFont->width(), qMax(m_row->height() - top, m_lstFont->height()));
        m_lstFont->raise();
        return;
    }
    m_lstFont->resize(m_lstFont->width(), platform::Screen::toPixelsY(kFontListHeight));
    // Passing through the first entry scrolls the chosen one into the short list's view.
    const int chosen = m_lstFont->currentRow();
    m_lstFont->setCurrentRow(0);
    m_lstFont->setCurrentRow(chosen);
    m_lstFont->scrollToItem(m_lstFont->currentItem());
}
