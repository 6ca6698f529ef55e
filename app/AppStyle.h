#pragma once
#include <QProxyStyle>

// The desktop's own look, with the one standard picture the main window needs
// at start-up (the menu bar's overflow arrows) drawn here instead of read from
// an image file: reading any image file makes Qt search its image plug-ins
// first, which costs more than building the rest of the window.
class AppStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap which, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;

    // Makes it the application's style, once; the base style is the one Qt
    // would have chosen (a -style option or QT_STYLE_OVERRIDE included).
    static void install();
};
