#include "dialogs/frmAbout.h"

#include "colour/PaletteColor.h"
#include "platform/AppInfo.h"
#include "platform/Beep.h"
#include "platform/MessageBoxes.h"
#include "platform/Named.h"
#include "platform/Programs.h"
#include "platform/ScrollBarNames.h"
#include "platform/Shell.h"
#include "platform/SystemColors.h"
#include "platform/WindowFront.h"
#include "resources/Icons.h"
#include "store/EntryStore.h"

#include <QCloseEvent>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <QVBoxLayout>

namespace {

frmAbout*& instance() {
    static frmAbout* box = nullptr;
    return box;
}

std::function<float()>& randomSource() {
    static std::function<float()> source;
    return source;
}

// A fraction in [0, 1) from the program's generator, which is never reseeded here.
float nextFraction() {
    if (randomSource())
        return randomSource()();
    return static_cast<float>(QRandomGenerator::global()->bounded(1 << 24)) / static_cast<float>(1 << 24);
}

constexpr int TimerInterval = 5000;
// The animation never draws more than one dot per millisecond: between two dots
// the box waits for this timer, so it sleeps in the event loop instead of spinning.
constexpr int DotIntervalMs = 1;
constexpr double PointsPerInch = 72.0;
// New dots reach the screen about sixty times a second.
constexpr int RepaintIntervalMs = 16;

// Pen width in pixels of cycle step n (1, 2, 3).
int penWidthFor(int n) {
    return n == 1 ? 5 : n == 2 ? 4 : 3;
}
// Palette entry of the dot drawn once the cycle has moved on to n.
qint16 paletteEntryFor(int n) {
    return static_cast<qint16>(n == 1 ? 12 : n == 2 ? 0 : 8);
}

const char* const SysInfoPrograms[] = {
    "hardinfo2",
    "hardinfo",
    "kinfocenter",
    "gnome-system-monitor",
    "mate-system-monitor",
    "plasma-systemmonitor",
    "ksysguard",
    "xfce4-taskmanager",
    "lxtask",
};

} // namespace

frmAbout* frmAbout::showFor(QWidget* owner) {
    frmAbout* box = instance();
    if (!box) {
        box = new frmAbout(owner);
        instance() = box;
    }
    platform::bringToFront(box);
    return box;
}

frmAbout* frmAbout::loaded() {
    return instance();
}

void frmAbout::setRandomSource(std::function<float()> source) {
    randomSource() = std::move(source);
}

frmAbout::frmAbout(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setModal(false);
    buildControls();
    Form_Load();
}

frmAbout::~frmAbout() {
    if (instance() == this)
        instance() = nullptr;
}

void frmAbout::buildControls() {
    // Picture1 lies under every other control and covers the whole window.
    Picture1 = platform::named(new QWidget(this), "Picture1");
    Picture1->setAttribute(Qt::WA_OpaquePaintEvent);
    Picture1->installEventFilter(this);

    picIcon = platform::named(new QLabel(this), "picIcon");
    picIcon->setPixmap(resources::icon(QString::fromLatin1(appinfo::IconName)).pixmap(64, 64));
    picIcon->setFixedSize(64, 64);
    picIcon->setCursor(Qt::PointingHandCursor);
    picIcon->setToolTip(QString::fromLatin1(appinfo::WebAddress));
    picIcon->setAccessibleName(QStringLiteral("Visit the web site"));
    picIcon->installEventFilter(this);

    lblTitle = platform::named(new QLabel(this), "lblTitle");
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);

    lblVersion = platform::named(new QLabel(this), "lblVersion");

    lblDescription = platform::named(new QLabel(this), "lblDescription");
    lblDescription->setWordWrap(true);
    lblDescription->setMinimumWidth(260);

    lblDatabase = platform::named(new QLabel(this), "lblDatabase");
    lblDatabase->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Picture2 = platform::named(new QLabel(this), "Picture2");
    Picture2->setPixmap(resources::icon(QStringLiteral("locked")).pixmap(24, 24));
    Picture3 = platform::named(new QLabel(this), "Picture3");
    Picture3->setPixmap(resources::icon(QStringLiteral("hint")).pixmap(24, 24));

    Line1 = platform::named(new QFrame(this), "Line1");
    Line1->setFrameShape(QFrame::HLine);
    Line1->setFrameShadow(QFrame::Sunken);

    txtDisclaimer = platform::named(new QPlainTextEdit(this), "txtDisclaimer");
    txtDisclaimer->setReadOnly(true);
    txtDisclaimer->setAccessibleName(QStringLiteral("Legal notice"));
    platform::nameScrollBars(txtDisclaimer);
    txtDisclaimer->setMinimumSize(300, 110);
    txtDisclaimer->setMaximumHeight(130);

    cmdOK = platform::named(new QPushButton(tr("OK"), this), "cmdOK");
    cmdOK->setDefault(true);
    cmdSysInfo = platform::named(new QPushButton(QStringLiteral("&System Info..."), this), "cmdSysInfo");

    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    texts->addWidget(lblTitle);
    texts->addWidget(lblVersion);
    texts->addSpacing(6);
    texts->addWidget(lblDescription);
    texts->addSpacing(6);
    texts->addWidget(lblDatabase);
    texts->addStretch(1);

    auto* pictures = new QVBoxLayout;
    pictures->addWidget(Picture2);
    pictures->addWidget(Picture3);
    pictures->addStretch(1);

    auto* buttons = new QVBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdSysInfo);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(14, 14, 14, 14);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(10);
    grid->addWidget(picIcon, 0, 0, Qt::AlignTop);
    grid->addLayout(texts, 0, 1);
    grid->addLayout(pictures, 0, 2);
    grid->addWidget(Line1, 1, 0, 1, 3);
    grid->addWidget(txtDisclaimer, 2, 0, 1, 2);
    grid->addLayout(buttons, 2, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    Timer1 = platform::named(new QTimer(this), "Timer1");
    Timer1->setInterval(TimerInterval);
    Timer1->setSingleShot(true);

    m_repaint = new QTimer(this);
    m_repaint->setSingleShot(true);
    m_repaint->setInterval(RepaintIntervalMs);
    connect(m_repaint, &QTimer::timeout, this, [this] {
        Picture1->update(m_dirty);
        m_dirty = QRegion();
    });

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::close);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);
    connect(Timer1, &QTimer::timeout, this, &frmAbout::Timer1_Timer);

    // The texts stay readable however many dots pile up behind them.
    for (QLabel* label : {lblTitle, lblVersion, lblDescription, lblDatabase})
        label->setAutoFillBackground(true);
    Picture1->lower();
}

void frmAbout::Form_Load() {
    setWindowTitle(QStringLiteral("About ") + QString::fromLatin1(appinfo::AppTitle));
    setWindowIcon(resources::icon(QString::fromLatin1(appinfo::IconName)));
    lblTitle->setText(QString::fromLatin1(appinfo::ProductName));
    lblVersion->setText(
        QStringLiteral("Version %1.%2").arg(appinfo::VersionMajor).arg(appinfo::VersionMinor));
    lblDescription->setText(QString::fromLatin1(appinfo::Description));
    lblDatabase->setText(QStringLiteral("Entries are kept in ") +
                         QDir::toNativeSeparators(QFileInfo(store::databasePath()).absoluteFilePath()));
    QString notice = QString::fromLatin1(appinfo::LegalNotice);
    notice.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    txtDisclaimer->setPlainText(notice);
    Timer1->start();
}

void frmAbout::Timer1_Timer() {
    QPointer<frmAbout> self(this);
    ScatterDots();
    if (self)
        Timer1->stop();
}

void frmAbout::QorDotAt(float sngCol, float sngRow, qint16 intQBColor) {
    if (m_surface.isNull())
        return;
    const double perPointX = Picture1->logicalDpiX() / PointsPerInch;
    const double perPointY = Picture1->logicalDpiY() / PointsPerInch;
    const QPointF from(sngCol * perPointX, sngRow * perPointY);
    const QPointF to((sngCol + 1.0) * perPointX, (sngRow + 1.0) * perPointY);

    QPen pen(platform::SystemColors::toQColor(colour::PaletteColor(intQBColor)));
    pen.setWidth(m_penWidth);
    pen.setCapStyle(Qt::RoundCap);
    QPainter painter(&m_surface);
    painter.setPen(pen);
    painter.drawLine(from, to);
    painter.end();

    // The screen is brought up to date at its own pace, not once per dot.
    const int reach = m_penWidth + 2;
    m_dirty += QRectF(from, to).normalized().toAlignedRect().adjusted(-reach, -reach, reach, reach);
    if (!m_repaint->isActive())
        m_repaint->start();
}

void frmAbout::ScatterDots() {
    platform::Beep::sound();
    // Picture1 draws in points; the dots are placed over the window measured in
    // points as well, so they cover the whole window.
    QPointer<frmAbout> self(this);
    ++m_runs;
    int n = 1;
    for (;;) {
        m_penWidth = penWidthFor(n);
        const float x = nextFraction() * innerWidthPoints();
        const float y = nextFraction() * innerHeightPoints();
        n = n % 3 + 1;
        QorDotAt(x, y, paletteEntryFor(n));
        const bool goOn = waitForNextDot();
        if (!self)
            return; // destroyed with its owner while the rest of the program ran
        if (!goOn || !isVisible())
            break;
    }
    if (--m_runs == 0 && m_unloadPending)
        deleteLater();
}

bool frmAbout::waitForNextDot() {
    QEventLoop pause;
    QTimer due;
    due.setSingleShot(true);
    due.setTimerType(Qt::PreciseTimer);
    connect(&due, &QTimer::timeout, &pause, &QEventLoop::quit);
    due.start(DotIntervalMs);
    // An event loop refuses to start (-1) once the application has been told
    // to quit; a run must then end, or the program could never leave.
    return pause.exec() != -1;
}

float frmAbout::innerWidthPoints() const {
    return static_cast<float>(width() * PointsPerInch / logicalDpiX());
}

float frmAbout::innerHeightPoints() const {
    return static_cast<float>(height() * PointsPerInch / logicalDpiY());
}

void frmAbout::StartSysInfo() {
    QStringList names;
    for (const char* name : SysInfoPrograms)
        names << QString::fromLatin1(name);
    const QString program = platform::Programs::findOnPath(names);
    if (!program.isEmpty() && platform::Programs::startDetached(program))
        return;
    platform::MessageBoxSpec box;
    box.title = QString::fromLatin1(appinfo::AppTitle);
    box.text = QStringLiteral("System Information Is Unavailable At This Time");
    box.icon = platform::MsgIcon::None;
    box.buttons = QMessageBox::Ok;
    platform::MessageBoxes::show(this, box);
}

void frmAbout::picIcon_Click() {
    QString target = QString::fromLatin1(appinfo::WebAddress);
    modCofra::OpenWithShell(target);
}

void frmAbout::closeEvent(QCloseEvent* event) {
    event->accept();
    hide();
    unloadWhenIdle();
}

void frmAbout::reject() {
    close();
}

void frmAbout::unloadWhenIdle() {
    if (instance() == this)
        instance() = nullptr;
    Timer1->stop();
    // Runs still on the stack end as soon as they see the box hidden; the
    // last one to end unloads it.
    if (m_runs == 0)
        deleteLater();
    else
        m_unloadPending = true;
}

bool frmAbout::isBareWindowAt(const QPoint& pos) const {
    const QWidget* under = childAt(pos);
    return rect().contains(pos) && (under == nullptr || under == Picture1);
}

void frmAbout::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isBareWindowAt(event->position().toPoint())) {
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void frmAbout::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && isBareWindowAt(event->position().toPoint())) {
        event->accept();
        ScatterDots();
        return;
    }
    QDialog::mouseReleaseEvent(event);
}

void frmAbout::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Picture1->setGeometry(rect());
    const qreal ratio = devicePixelRatioF();
    const QSize wanted = (QSizeF(size()) * ratio).toSize();
    if (m_surface.size() == wanted)
        return;
    QImage grown(wanted.expandedTo(m_surface.size()), QImage::Format_RGB32);
    grown.setDevicePixelRatio(ratio);
    grown.fill(palette().color(QPalette::Window));
    if (!m_surface.isNull()) {
        QPainter painter(&grown);
        painter.drawImage(QPoint(0, 0), m_surface);
    }
    m_surface = grown;
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Picture1 && event->type() == QEvent::Paint) {
        // The painter is clipped to the region being repainted; drawing the
        // whole image copies only that part.
        QPainter painter(Picture1);
        painter.drawImage(QPoint(0, 0), m_surface);
        return true;
    }
    const bool clickable = watched == Picture1 || watched == picIcon;
    if (clickable &&
        (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease)) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        const auto* widget = static_cast<QWidget*>(watched);
        if (mouse->button() != Qt::LeftButton)
            return false;
        // A click is a press and a release on the same control, as anywhere else.
        if (event->type() == QEvent::MouseButtonRelease &&
            widget->rect().contains(mouse->position().toPoint())) {
            if (watched == picIcon)
                picIcon_Click();
            else
                ScatterDots();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
}
