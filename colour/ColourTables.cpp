#include "colour/ColourTables.h"

namespace colour {
namespace {

struct SysColorEntry {
    const char* name;
    const char* constant;
};

// Ordered by the desktop's system colour index; the picker's list follows this order.
constexpr SysColorEntry kSysColors[SysColorCount] = {
    {"Scroll Bars", "vbScrollBars"},
    {"Desktop", "vbDesktop"},
    {"Active Title Bar", "vbActiveTitleBar"},
    {"Inactive Title Bar", "vbInactiveTitleBar"},
    {"Menu Bar", "vbMenuBar"},
    {"Window Background", "vbWindowBackground"},
    {"Window Frame", "vbWindowFrame"},
    {"Menu Text", "vbMenuText"},
    {"Window Text", "vbWindowText"},
    {"Active Title Bar Text", "vbActiveTitleBarText"},
    {"Active Border", "vbActiveBorder"},
    {"Inactive Border", "vbInactiveBorder"},
    {"Application Workspace", "vbApplicationWorkspace"},
    {"Highlight", "vbHighlight"},
    {"Highlight Text", "vbHighlightText"},
    {"Button Face", "vbButtonFace"},
    {"Button Shadow", "vbButtonShadow"},
    {"Disabled Text", "vbGrayText"},
    {"Button Text", "vbButtonText"},
    {"Inactive Title Bar Text", "vbInactiveTitleBarText"},
    {"Button Highlight", "vb3DHighlight"},
    {"Button Dark Shadow", "vb3DDKShadow"},
    {"Button Light Shadow", "vb3DLight"},
    {"ToolTip Text", "vbInfoText"},
    {"ToolTip Background", "vbInfoBackground"},
};

constexpr NamedColor kNamed[] = {
    {ComposeRGB(0, 0, 0), "vbBlack", 0},       {ComposeRGB(0, 0, 255), "vbBlue", 9},
    {ComposeRGB(0, 255, 0), "vbGreen", 10},    {ComposeRGB(0, 255, 255), "vbCyan", 11},
    {ComposeRGB(255, 0, 0), "vbRed", 12},      {ComposeRGB(255, 0, 255), "vbMagenta", 13},
    {ComposeRGB(255, 255, 0), "vbYellow", 14}, {ComposeRGB(255, 255, 255), "vbWhite", 15},
};

} // namespace

QString SysColorName(int index) {
    return index >= 0 && index < SysColorCount ? QString::fromLatin1(kSysColors[index].name) : QString();
}

QString SysColorConstant(int index) {
    return index >= 0 && index < SysColorCount ? QString::fromLatin1(kSysColors[index].constant) : QString();
}

const NamedColor* FindNamedColor(qint32 value) {
    for (const NamedColor& named : kNamed) {
        if (named.value == value)
            return &named;
    }
    return nullptr;
}

} // namespace colour
