#include "picker/frmSmallColor.h"

#include "colour/ColourNotations.h"
#include "colour/ComponentInput.h"
#include "colour/PaletteColor.h"
#include "colour/SpokenColour.h"
#include "picker/ColourSwatch.h"
#include "picker/PaletteBox.h"
#include "picker/PickerImages.h"
#include "platform/Beep.h"
#include "platform/PendingEvents.h"
#include "platform/Screen.h"
#include "platform/ScreenPixel.h"
#include "platform/SystemColors.h"
#include "platform/WindowFront.h"

#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QToolButton>
#include <cmath>

namespace {

qint32 presentSysColor(int index) {
    return platform::SystemColors::plainValue(index);
}

QColor sysColour(int index) {
    return platform::SystemColors::toQColor(colour::SysColorCode(index));
}

} // namespace

frmSmallColor* frmSmallColor::open(QWidget* owner, ApplyColour applyColour,
                                   const QVector<ColourSwatch*>& swatches) {
    frmSmallColor* picker = loaded();
    if (!picker) {
        picker = new frmSmallColor(owner, std::move(applyColour), swatches);
        platform::soleInstance<frmSmallColor>() = picker;
    }
    platform::bringToFront(picker);
    return picker;
}

frmSmallColor* frmSmallColor::loaded() {
    frmSmallColor* picker = platform::soleInstance<frmSmallColor>().data();
    return picker && !picker->m_unloading ? picker : nullptr;
}

frmSmallColor::frmSmallColor(QWidget* owner, ApplyColour applyColour, const QVector<ColourSwatch*>& swatches)
    : QDialog(owner, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint |
                         Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_owner(owner), m_applyColour(std::move(applyColour)) {
    for (ColourSwatch* swatch : swatches)
        m_swatches.append(swatch);
    setObjectName(QStringLiteral("frmSmallColor"));
    setWindowTitle(QStringLiteral("Select Color"));
    setWindowIcon(colour::PickerIcon());
    setModal(false);
    createControls(this);
    setFixedSize(platform::Screen::toPixelsX(3720), platform::Screen::toPixelsY(3090));
    m_grid = std::make_unique<PaletteGrid>(*picQBColors, SelectedCell, CurrentColor);

    connect(cboSysColors, &QComboBox::currentIndexChanged, this, [this]() { cboSysColors_Click(); });
    connect(chkHex, &QCheckBox::toggled, this, [this]() { chkHex_Click(); });
    for (int i = 0; i < 3; ++i) {
        connect(hsbRGB[i], &QScrollBar::valueChanged, this, [this]() { hsbRGB_Change(); });
        connect(txtRGB[i], &QLineEdit::textChanged, this, [this, i]() { txtRGB_Change(i); });
        txtRGB[i]->installEventFilter(this);
    }
    connect(hsbShade, &QScrollBar::valueChanged, this, [this]() { hsbShade_Change(); });
    for (QLineEdit* box : std::as_const(txtColor))
        box->installEventFilter(this);
    for (int i = 1; i < imgCopies.size(); ++i)
        connect(imgCopies[i], &QToolButton::clicked, this, [this, i]() { imgCopies_Click(i); });
    connect(picQBColors, &PaletteBox::pressed, this,
            [this](Qt::MouseButton button, QPointF pos) { picQBColors_MouseDown(button, pos); });
    connect(chkCapture, &QPushButton::toggled, this, [this](bool ticked) { chkCapture_Click(ticked); });
    connect(cmdApply, &QPushButton::clicked, this, [this]() { cmdApply_Click(); });

    Form_Load();
}

frmSmallColor::~frmSmallColor() {
    if (Capturing)
        releaseMouse();
}

bool frmSmallColor::hexMode() const {
    return chkHex->isChecked();
}

void frmSmallColor::Form_Load() {
    const QSize screen = platform::Screen::sizePixels();
    move((screen.width() - width()) / 2, (screen.height() - height()) / 2);
    m_grid->DrawPalette();
    SelectedCell = -1;
    FillSysColors();
    for (QLineEdit* box : std::as_const(txtColor))
        box->setToolTip(QStringLiteral("Right-click to copy this color code"));
    // A press near the grid's bottom-right corner picks cell 15: the picker
    // starts on white.
    const QSize inner = picQBColors->innerSize();
    picQBColors_MouseDown(Qt::LeftButton, QPointF(inner.width() - 5, inner.height() - 5));
}

void frmSmallColor::FillSysColors() {
    // Filling the list must not count as choosing an entry.
    const QSignalBlocker blocker(cboSysColors);
    SysColorConsts.clear();
    for (int index = 0; index < colour::SysColorCount; ++index) {
        cboSysColors->addItem(colour::SysColorName(index));
        SysColorConsts.append(colour::SysColorConstant(index));
    }
    cboSysColors->setCurrentIndex(-1);
}

void frmSmallColor::ShowColor() {
    Updating = true;
    const colour::ColorNotations n = colour::FormatNotations(CurrentColor, hexMode(), presentSysColor);
    using Box = colour::ColorNotations;

    if (n.sysIndex >= 0) {
        cboSysColors->setCurrentIndex(n.sysIndex);
        const int listed = cboSysColors->currentIndex();
        if (listed >= 0 && listed < SysColorConsts.size())
            txtColor[Box::SysConstant]->setText(SysColorConsts.at(listed));
        txtColor[Box::SysHex]->setText(n.sysHexText);
    } else {
        txtColor[Box::SysConstant]->setText(QString::fromLatin1(colour::NotAvailable));
        txtColor[Box::SysHex]->setText(QString::fromLatin1(colour::NotAvailable));
        cboSysColors->setCurrentIndex(-1);
    }

    QPalette sample = lblColorBox->palette();
    sample.setColor(QPalette::Window, platform::SystemColors::toQColor(n.plainValue));
    lblColorBox->setPalette(sample);

    for (const int box : {Box::Constant, Box::Palette, Box::Rgb, Box::Decimal, Box::Hex, Box::Html})
        txtColor[box]->setText(n.text(box));
    for (int box = 0; box < Box::BoxCount; ++box)
        txtColor[box]->setEnabled(colour::isAvailable(txtColor[box]->text()));

    if (n.paletteIndex >= 0) {
        if (n.paletteIndex != SelectedCell) {
            m_grid->DrawCellRaised(SelectedCell);
            m_grid->SelectPaletteCell(n.paletteIndex);
        }
    } else {
        m_grid->DrawCellRaised(SelectedCell);
    }
    const QString words = colour::SpokenColour(CurrentColor, presentSysColor);
    lblColorBox->setAccessibleDescription(words);
    picQBColors->setAccessibleDescription(
        n.paletteIndex >= 0 ? QStringLiteral("Cell %1: %2").arg(n.paletteIndex).arg(words) : words);

    const int components[3] = {n.red, n.green, n.blue};
    for (int i = 0; i < 3; ++i)
        hsbRGB[i]->setValue(components[i]);
    hsbShade->setValue(n.shade);

    for (int i = 0; i < 3; ++i) {
        if (txtRGB[i]->text() != n.componentTexts[i]) {
            txtRGB[i]->setText(n.componentTexts[i]);
            txtRGB[i]->end(false);
        }
    }
    Updating = false;
}

void frmSmallColor::cboSysColors_Click() {
    if (Updating)
        return;
    const int listed = cboSysColors->currentIndex();
    if (listed >= 0)
        CurrentColor = colour::SysColorCode(listed);
    ShowColor();
}

void frmSmallColor::chkHex_Click() {
    for (QLineEdit* box : std::as_const(txtRGB)) {
        // A shorter limit cuts the text; that cut is no edit of the user's,
        // and ShowColor rewrites the box in the new base at once.
        const QSignalBlocker blocker(box);
        box->setMaxLength(colour::ComponentMaxLength(hexMode()));
    }
    ShowColor();
}

void frmSmallColor::hsbRGB_Change() {
    if (Updating)
        return;
    CurrentColor = colour::ComposeRGB(hsbRGB[0]->value(), hsbRGB[1]->value(), hsbRGB[2]->value());
    ShowColor();
}

void frmSmallColor::hsbShade_Change() {
    if (!Updating) {
        const int delta = hsbShade->value() - LastShade;
        const auto shaded =
            colour::ApplyShade(hsbRGB[0]->value(), hsbRGB[1]->value(), hsbRGB[2]->value(), delta);
        CurrentColor = colour::ComposeRGB(shaded[0], shaded[1], shaded[2]);
        ShowColor();
    }
    // Read back: ShowColor moves the bar to the new colour's own brightness.
    LastShade = static_cast<qint16>(hsbShade->value());
}

bool frmSmallColor::txtRGB_KeyPress(QLineEdit* box, QKeyEvent* event) {
    const QString typed = event->text();
    // Keys without a character (arrows) and control characters (backspace,
    // the clipboard shortcuts) keep their usual meaning; whatever they leave
    // in the box is checked when the text changes.
    if (typed.isEmpty() || typed.at(0).unicode() < 32 || typed.at(0).unicode() == 127)
        return false;
    QString accepted;
    for (const QChar c : typed) {
        const colour::KeyDecision decision = colour::FilterRGBKey(c.unicode(), hexMode());
        if (decision.beep)
            platform::Beep::sound();
        if (decision.code != 0)
            accepted.append(QChar(static_cast<char16_t>(decision.code)));
    }
    // Entered as the box would (over the selection, within its length), but upper-cased.
    if (!accepted.isEmpty())
        box->insert(accepted);
    return true;
}

void frmSmallColor::txtRGB_Change(int index) {
    if (InRGBEdit || Updating)
        return;
    InRGBEdit = true;
    QLineEdit* box = txtRGB[index];
    const colour::ParsedComponent parsed = colour::ParseRGBText(box->text(), hexMode());
    if (!parsed.acceptable) {
        platform::Beep::sound();
        box->setText(LastRGBText[index]);
        box->end(false);
    }
    LastRGBText[index] = box->text();
    // The bar refuses a value beyond its range; the colour then stays.
    if (parsed.value <= hsbRGB[index]->maximum())
        hsbRGB[index]->setValue(parsed.value);
    InRGBEdit = false;
}

void frmSmallColor::imgCopies_Click(int index) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(txtColor[index]->text());
    platform::PendingEvents::run();
    QPointer<QWidget> owner = m_owner;
    unload();
    if (owner) {
        owner->activateWindow();
        owner->raise();
    }
}

void frmSmallColor::picQBColors_MouseDown(Qt::MouseButton button, QPointF pos) {
    if (m_grid->MouseDown(button, pos))
        ShowColor();
}

void frmSmallColor::chkCapture_Click(bool ticked) {
    if (!ticked)
        return;
    Capturing = true;
    const QCursor cursor = colour::CaptureCursor();
    setCursor(cursor);
    if (QWidget* grabber = QWidget::mouseGrabber())
        grabber->releaseMouse();
    // Every press, anywhere on the screen, now comes to this window.
    grabMouse(cursor);
}

void frmSmallColor::mousePressEvent(QMouseEvent* event) {
    if (!Capturing) {
        QDialog::mousePressEvent(event);
        return;
    }
    event->accept();
    releaseMouse();
    const qint32 pixel = platform::ScreenPixel::at(QCursor::pos());
    if (pixel != -1) {
        CurrentColor = pixel;
        ShowColor();
    }
    endCapture();
}

void frmSmallColor::endCapture() {
    unsetCursor();
    chkCapture->setChecked(false);
    Capturing = false;
}

void frmSmallColor::cmdApply_Click() {
    // Always the plain value the sample shows, never a system colour code.
    const qint32 colour = platform::SystemColors::fromQColor(lblColorBox->palette().color(QPalette::Window));
    if (m_applyColour)
        m_applyColour(PassDex, colour);
    if (PassDex >= 0 && PassDex < m_swatches.size() && m_swatches[PassDex])
        m_swatches[PassDex]->setBackColor(colour);
    unload();
}

void frmSmallColor::paintEvent(QPaintEvent*) {
    if (InPaint)
        return;
    InPaint = true;
    {
        // Between the code rows and the palette frame: both lie below the
        // visible area, so with the usual layout this line is never seen.
        const double twipsY = platform::Screen::twipsPerPixelY();
        const int x1 = fraQBColors->x() - 1;
        const int x2 = txtColor[3]->x() + txtColor[3]->width() + 2;
        const double captionTop = lblCap[0]->y() * twipsY;
        const double frameBottom = (fraQBColors->y() + fraQBColors->height()) * twipsY;
        const double middle = std::nearbyint(captionTop - (captionTop - frameBottom) / 2);
        const int y = static_cast<int>(std::floor(middle / twipsY));
        QPainter painter(this);
        painter.setPen(sysColour(colour::ButtonShadow));
        painter.drawLine(x1, y, x2, y);
        painter.setPen(sysColour(colour::ButtonHighlight));
        painter.drawLine(x1, y + 1, x2, y + 1);
    }
    m_grid->Repaint();
    InPaint = false;
}

bool frmSmallColor::eventFilter(QObject* watched, QEvent* event) {
    if (auto* box = qobject_cast<QLineEdit*>(watched); box && txtRGB.contains(box)) {
        if (event->type() == QEvent::KeyPress)
            return txtRGB_KeyPress(box, static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusIn)
            box->selectAll();
        return false;
    }
    if (auto* box = qobject_cast<QLineEdit*>(watched); box && txtColor.contains(box)) {
        if (event->type() == QEvent::MouseButtonPress && !m_inCodePress) {
            // Any button selects the whole code, so the menu's Copy takes all
            // of it: the box handles the press first, then the selection is made.
            m_inCodePress = true;
            QCoreApplication::sendEvent(box, event);
            m_inCodePress = false;
            box->selectAll();
            return true;
        }
        return false;
    }
    return QDialog::eventFilter(watched, event);
}

void frmSmallColor::keyPressEvent(QKeyEvent* event) {
    // The picker has no cancel button: Escape does not close it.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void frmSmallColor::closeEvent(QCloseEvent* event) {
    unload();
    event->accept();
}

void frmSmallColor::unload() {
    if (m_unloading)
        return;
    m_unloading = true;
    if (Capturing) {
        releaseMouse();
        endCapture();
    }
    hide();
    deleteLater();
}
