#include "app/WinSettings.h"

#include "editor/EntryEditor.h"
#include "flows/DocumentState.h"
#include "picker/ColourSwatch.h"
#include "platform/FontList.h"
#include "platform/LocaleNumbers.h"
#include "platform/Screen.h"
#include "platform/SettingsStore.h"
#include "platform/SystemColorCodes.h"

#include <QWidget>
#include <algorithm>

namespace {

// What must stay on the screen of a window, in pixels: a title bar with room
// around it, and a stretch of it wide enough to take hold of.
constexpr int kOnScreenHeight = 50;
constexpr int kOnScreenWidth = 100;

const QString kSection = QStringLiteral("Window");

QString read(const char* key, const QString& defaultValue) {
    return platform::SettingsStore::read(kSection, QString::fromLatin1(key), defaultValue);
}
QString read(const char* key, const char* defaultValue) {
    return read(key, QString::fromLatin1(defaultValue));
}

QString yesNo(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

// A value that cannot be read leaves the field as it was.
void readBool(const char* key, bool& field) {
    if (const std::optional<bool> value = localenumbers::readBool(read(key, "0")))
        field = *value;
}

using Placement = WinSettings::Placement;

Placement placementOf(const QWidget* window) {
    using platform::Screen;
    const QPoint origin = window->pos();
    return {Screen::toTwipsX(origin.x()), Screen::toTwipsY(origin.y()), Screen::toTwipsX(window->width()),
            Screen::toTwipsY(window->height())};
}

// The font of a first start. "Terminal" where the display has it; elsewhere the
// desktop's own fixed-width face, which keeps the look of a terminal font. Only
// when the display lists neither does the font list's fallback (its second
// entry) decide, which is what the unlisted "Terminal" leads to.
QString defaultFont() {
    const QString terminal = QStringLiteral("Terminal");
    if (QString listed = platform::FontList::listed(terminal); !listed.isEmpty())
        return listed;
    QString fixed = platform::FontList::listed(platform::FontList::fixedFamily());
    return fixed.isEmpty() ? terminal : fixed;
}

bool mayMove(const QWidget* window) {
    return !(window->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

} // namespace

WinSettings::WinSettings(QWidget* window, EntryEditor* txtMain, const QVector<ColourSwatch*>& cmdColors,
                         DocumentState& doc, std::function<QSize()> smallestUsable)
    : m_window(window), m_txtMain(txtMain), m_cmdColors(cmdColors), m_doc(doc),
      m_smallestUsable(std::move(smallestUsable)) {}

WinSettings::Placement WinSettings::keepOnScreen(bool enlarge) {
    using platform::Screen;
    if (!mayMove(m_window))
        return placementOf(m_window);
    Placement p = placementOf(m_window);
    const double screenWidth = Screen::widthTwips();
    const double screenHeight = Screen::heightTwips();
    if (p.top < 0 || p.top > screenHeight)
        p.top = 0;
    if (p.left < 0 || p.left > screenWidth)
        p.left = 0;
    if (p.width < 0 || p.width > screenWidth)
        p.width = screenWidth - 100;
    if (p.height < 0 || p.height > screenHeight)
        p.height = screenHeight - 100;
    // A damaged or hand-edited store can still leave a window too small to use
    // or with only a corner on the screen. It keeps its origin when enough of it
    // stays on the screen to be seen and dragged: the title bar's height and a
    // grab's width; otherwise it goes to the screen's corner as in the steps above.
    if (p.top > screenHeight - Screen::toTwipsY(kOnScreenHeight))
        p.top = 0;
    if (p.left > screenWidth - Screen::toTwipsX(kOnScreenWidth))
        p.left = 0;
    const Placement steps = p;
    if (m_smallestUsable) {
        const QSize smallest = m_smallestUsable();
        p.width = std::max(p.width, Screen::toTwipsX(smallest.width()));
        p.height = std::max(p.height, Screen::toTwipsY(smallest.height()));
    }
    const Placement& shown = enlarge ? p : steps;
    m_window->move(Screen::toPixelsX(shown.left), Screen::toPixelsY(shown.top));
    m_window->resize(Screen::toPixelsX(shown.width), Screen::toPixelsY(shown.height));
    return p;
}

void WinSettings::LoadWinSettings() {
    using localenumbers::readNumber;
    using platform::Screen;
    // Each value is set as soon as it is read; one that is no number leaves its property as it was.
    if (mayMove(m_window)) {
        if (const auto top = readNumber(read("Top", "1000")))
            m_window->move(m_window->x(), Screen::toPixelsY(*top));
        if (const auto left = readNumber(read("Left", "616")))
            m_window->move(Screen::toPixelsX(*left), m_window->y());
        if (const auto width = readNumber(read("Width", "7845")); width && *width >= 0)
            m_window->resize(Screen::toPixelsX(*width), m_window->height());
        if (const auto height = readNumber(read("Height", "5655")); height && *height >= 0)
            m_window->resize(m_window->width(), Screen::toPixelsY(*height));
    }
    keepOnScreen(true);

    m_doc.strFontName = platform::SettingsStore::read(kSection, QStringLiteral("Font"), defaultFont());
    if (const auto size = localenumbers::readInt32(read("FontSize", "9")))
        m_doc.lngFontSize = *size;
    readBool("FontBold", m_doc.ynFontBold);
    readBool("FontItalic", m_doc.ynFontItalic);
    readBool("FontStrike", m_doc.ynFontStrike);
    readBool("FontUnderline", m_doc.ynFontUnderline);
    readBool("StrongEncryption", m_doc.ynStrongEncryption);

    m_txtMain->setSelStart(0);
    m_txtMain->setSelLength(m_txtMain->length());
    m_txtMain->setSelColor(read("ForeColor", QString::number(platform::SysColorCode(platform::WindowText))));
    const QString backDefault = QString::number(platform::SysColorCode(platform::WindowBackground));
    if (const auto back = localenumbers::readInt32(read("BackColor", backDefault)))
        m_txtMain->setBackColor(*back);
    m_cmdColors[0]->setBackColor(m_txtMain->SelColor());
    m_cmdColors[1]->setBackColor(m_txtMain->BackColor());
}

void WinSettings::SaveWinSettings() {
    using localenumbers::writeSingle;
    // The window keeps a size the user chose; the next start shows it at a usable one, written here.
    const Placement p = keepOnScreen(false);
    // Thirteen values, one pass to the store.
    platform::SettingsStore::Writer store(kSection);
    const auto write = [&store](const char* key, const QString& value) {
        store.write(QString::fromLatin1(key), value);
    };
    write("Top", writeSingle(p.top));
    write("Left", writeSingle(p.left));
    write("Width", writeSingle(p.width));
    write("Height", writeSingle(p.height));
    write("Font", m_doc.strFontName);
    write("FontSize", QString::number(m_doc.lngFontSize));
    write("FontBold", yesNo(m_doc.ynFontBold));
    write("FontItalic", yesNo(m_doc.ynFontItalic));
    write("FontStrike", yesNo(m_doc.ynFontStrike));
    write("FontUnderline", yesNo(m_doc.ynFontUnderline));
    write("ForeColor", QString::number(m_cmdColors[0]->BackColor()));
    write("BackColor", QString::number(m_txtMain->BackColor()));
    write("StrongEncryption", yesNo(m_doc.ynStrongEncryption));
}
