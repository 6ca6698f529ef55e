#include "picker/SmallColorControls.h"

#include "colour/ColourTables.h"
#include "picker/PaletteBox.h"
#include "picker/PickerFont.h"
#include "platform/Named.h"
#include "platform/Screen.h"
#include "platform/SystemColors.h"
#include "resources/Icons.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QStyleFactory>
#include <QToolButton>

namespace {

using platform::Screen;

QString indexed(const char* name, int index) {
    return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(index);
}

QScrollBar* colourBar(QWidget* parent, const QString& name) {
    auto* bar = platform::named(new QScrollBar(Qt::Horizontal, parent), name);
    bar->setRange(0, 255);
    bar->setSingleStep(1);
    bar->setPageStep(16);
    bar->setFocusPolicy(Qt::StrongFocus);
    return bar;
}

QLineEdit* codeBox(QWidget* parent, int index) {
    auto* box = platform::named(new QLineEdit(parent), indexed("txtColor", index));
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignCenter);
    // The boxes sit on the desktop's button-highlight colour; a disabled box
    // ("N/A") keeps it too, only its text greys.
    QPalette palette = box->palette();
    const QColor highlight = platform::SystemColors::toQColor(colour::SysColorCode(colour::ButtonHighlight));
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        palette.setColor(group, QPalette::Base, highlight);
    box->setPalette(palette);
    return box;
}

// A picture to click; a button underneath, so that assistive technology can
// press it too. Like any picture it stays out of the focus order.
QToolButton* copyImage(QWidget* parent, int index, const QString& caption) {
    auto* image = platform::named(new QToolButton(parent), indexed("imgCopies", index));
    image->setIcon(resources::icon(QStringLiteral("copy")));
    image->setIconSize(QSize(28, 35));
    image->setAutoRaise(true);
    image->setFocusPolicy(Qt::NoFocus);
    image->setToolTip(QStringLiteral("Copy Code and close window"));
    image->setCursor(Qt::PointingHandCursor);
    QString code = caption;
    code.chop(1); // the caption's colon
    image->setAccessibleName(QStringLiteral("Copy ") + code);
    return image;
}

// The positions were laid out for a compact 8-point face. A wider face is
// made smaller until the longest caption fits its label, so no text is cut.
QFont layoutFont() {
    QFont font = colour::PickerFont();
    const QString longest = QStringLiteral("Decimal Color Code:");
    const int room = platform::Screen::toPixelsX(1440);
    while (font.pointSizeF() > 6.0 && QFontMetrics(font).horizontalAdvance(longest) > room)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    return font;
}

// Frames with their caption set into the top edge, as the layout expects:
// the rows begin a little below the caption, not below a whole caption line.
QGroupBox* frame(const QString& caption, QWidget* parent, const QString& name) {
    static QPointer<QStyle> captionInEdge;
    if (!captionInEdge) {
        captionInEdge = QStyleFactory::create(QStringLiteral("Windows"));
        if (captionInEdge)
            captionInEdge->setParent(qApp);
    }
    auto* box = platform::named(new QGroupBox(caption, parent), name);
    if (captionInEdge)
        box->setStyle(captionInEdge);
    return box;
}

// A caption laid over a frame's top edge hides the edge behind it.
void coverEdge(QWidget* widget) {
    widget->setAutoFillBackground(true);
}

} // namespace

void SmallColorControls::createControls(QDialog* form) {
    form->setFont(layoutFont());
    fraRGBColors = frame(QStringLiteral("RGB Colors"), form, QStringLiteral("fraRGBColors"));
    chkHex = platform::named(new QCheckBox(QStringLiteral("Hex"), fraRGBColors), QStringLiteral("chkHex"));
    coverEdge(chkHex);

    static const char* const kRowNames[3] = {"Red", "Green", "Blue"};
    const QColor rowColours[3] = {QColor(192, 0, 0), QColor(0, 128, 0), QColor(0, 0, 192)};
    const int rowTops[3] = {255, 555, 855};
    // The borders come first so that they lie beneath the rows they frame.
    for (int i = 0; i < 3; ++i) {
        auto* border = platform::named(new QLabel(fraRGBColors), indexed("lblBorder", i));
        border->setFrameStyle(QFrame::Box | QFrame::Plain);
        // Unnamed, a label inside the frame would be read out as the frame's caption.
        border->setAccessibleName(QString::fromLatin1(kRowNames[i]) + QStringLiteral(" row"));
        Screen::place(border, 90, rowTops[i] - 30, 3375, 270);
        lblBorder.append(border);
    }
    for (int i = 0; i < 3; ++i) {
        auto* caption = platform::named(new QLabel(QString::fromLatin1(kRowNames[i]), fraRGBColors),
                                        indexed("lblRGB", i));
        caption->setAlignment(Qt::AlignCenter);
        caption->setAutoFillBackground(true);
        QPalette palette = caption->palette();
        palette.setColor(QPalette::Window, rowColours[i]);
        palette.setColor(QPalette::WindowText, Qt::white);
        caption->setPalette(palette);
        Screen::place(caption, 120, rowTops[i], 495, 210);
        lblRGB.append(caption);

        auto* bar = colourBar(fraRGBColors, indexed("hsbRGB", i));
        // Inside the frame a control would otherwise be announced by the frame's caption.
        bar->setAccessibleName(QString::fromLatin1(kRowNames[i]));
        Screen::place(bar, 615, rowTops[i], 2505, 210);
        hsbRGB.append(bar);

        auto* box = platform::named(new QLineEdit(fraRGBColors), indexed("txtRGB", i));
        box->setFrame(false);
        box->setAlignment(Qt::AlignCenter);
        box->setMaxLength(3);
        box->setTextMargins(0, 0, 0, 0);
        Screen::place(box, 3120, rowTops[i], 315, 210);
        caption->setBuddy(box);
        txtRGB.append(box);
    }

    fraShade = frame(QStringLiteral("Darker"), form, QStringLiteral("fraShade"));
    hsbShade = colourBar(fraShade, QStringLiteral("hsbShade"));
    hsbShade->setAccessibleName(QStringLiteral("Brightness"));
    lblLighter =
        platform::named(new QLabel(QStringLiteral("Brighter"), fraShade), QStringLiteral("lblLighter"));
    lblLighter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    coverEdge(lblLighter);

    fraColor = frame(QStringLiteral("Selected Color"), form, QStringLiteral("fraColor"));
    lblColorBox = platform::named(new QLabel(fraColor), QStringLiteral("lblColorBox"));
    lblColorBox->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblColorBox->setAutoFillBackground(true);
    lblColorBox->setAccessibleName(QStringLiteral("Selected colour"));

    chkCapture =
        platform::named(new QPushButton(QStringLiteral("&Capture"), form), QStringLiteral("chkCapture"));
    chkCapture->setCheckable(true);
    chkCapture->setAutoDefault(false);
    chkCapture->setToolTip(QStringLiteral("Click here, then Click anywhere on your screen"));
    cmdApply = platform::named(new QPushButton(QStringLiteral("Apply"), form), QStringLiteral("cmdApply"));
    cmdApply->setAutoDefault(false);
    cmdApply->setToolTip(QStringLiteral("Apply Color"));

    // The code rows, top to bottom, with the numbers of their boxes.
    Frame1 = platform::named(new QFrame(form), QStringLiteral("Frame1"));
    Frame1->setFrameStyle(QFrame::NoFrame);
    struct CodeRow {
        int box;
        const char* caption;
        int captionGeometry[4];
        int boxGeometry[4];
        int imageTop;
    };
    static const CodeRow kRows[5] = {
        {1, "QBColor Code:", {255, 255, 1050, 195}, {240, 465, 1605, 285}, 360},
        {4, "HTML Color Code:", {255, 870, 1320, 195}, {240, 1065, 1605, 285}, 960},
        {2, "RGB Color Code:", {240, 1440, 1215, 195}, {225, 1665, 1605, 285}, 1560},
        {5, "VB Hex Color Code:", {240, 2070, 1410, 195}, {225, 2280, 1605, 285}, 2160},
        {3, "Decimal Color Code:", {225, 2670, 1440, 195}, {210, 2865, 1665, 285}, 2760},
    };
    txtColor.fill(nullptr, 8);
    lblCap.fill(nullptr, 5);
    imgCopies.fill(nullptr, 6);
    for (const CodeRow& row : kRows) {
        const int caption = row.box - 1;
        lblCap[caption] =
            platform::named(new QLabel(QString::fromLatin1(row.caption), Frame1), indexed("lblCap", caption));
        const int* c = row.captionGeometry;
        Screen::place(lblCap[caption], c[0], c[1], c[2], c[3]);
        txtColor[row.box] = codeBox(Frame1, row.box);
        lblCap[caption]->setBuddy(txtColor[row.box]);
        const int* b = row.boxGeometry;
        Screen::place(txtColor[row.box], b[0], b[1], b[2], b[3]);
        imgCopies[row.box] = copyImage(Frame1, row.box, lblCap[caption]->text());
        Screen::place(imgCopies[row.box], 1860, row.imageTop, 420, 525);
    }

    fraQBColors = frame(QStringLiteral("QB Colors"), form, QStringLiteral("fraQBColors"));
    picQBColors = platform::named(new PaletteBox(fraQBColors), QStringLiteral("picQBColors"));
    picQBColors->setFocusPolicy(Qt::StrongFocus);
    picQBColors->setAccessibleName(QStringLiteral("Palette"));
    txtColor[0] = codeBox(fraQBColors, 0);
    txtColor[0]->setAccessibleName(QStringLiteral("Colour constant"));

    fraSysColors = frame(QStringLiteral("System Colors"), form, QStringLiteral("fraSysColors"));
    cboSysColors = platform::named(new QComboBox(fraSysColors), QStringLiteral("cboSysColors"));
    cboSysColors->setAccessibleName(QStringLiteral("System colour"));
    txtColor[6] = codeBox(fraSysColors, 6);
    txtColor[6]->setAccessibleName(QStringLiteral("System colour constant"));
    txtColor[7] = codeBox(fraSysColors, 7);
    txtColor[7]->setAccessibleName(QStringLiteral("System colour code"));

    // Where the frames and the controls outside the rows sit, in twips within their parents.
    static constexpr Screen::Placement kPlaces[] = {
        {"fraRGBColors", 120, 120, 3570, 1185}, {"chkHex", 2850, 0, 600, 195},
        {"fraShade", 120, 1350, 3570, 495},     {"hsbShade", 75, 210, 3390, 210},
        {"lblLighter", 2850, -15, 540, 195},    {"fraColor", 105, 1905, 1305, 1155},
        {"lblColorBox", 150, 270, 1005, 765},   {"chkCapture", 1560, 1920, 2025, 495},
        {"cmdApply", 1560, 2520, 2055, 495},    {"Frame1", 5280, 120, 2415, 3495},
        {"fraQBColors", 120, 3720, 1320, 3540}, {"picQBColors", 90, 225, 1140, 2940},
        {"txtColor_0", 75, 3195, 1155, 285},    {"fraSysColors", 1500, 3840, 2175, 1275},
        {"cboSysColors", 60, 225, 2040, 315},   {"txtColor_6", 60, 585, 2040, 285},
        {"txtColor_7", 60, 915, 2040, 285},
    };
    Screen::placeAll(form, kPlaces);
}
