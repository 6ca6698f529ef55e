#pragma once
#include <QVector>

class QCheckBox;
class QComboBox;
class QDialog;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QToolButton;
class PaletteBox;

// The controls of the colour picker, made and placed at their positions in
// twips. Arrays are indexed as the picker numbers them (imgCopies from 1).
// Several panels lie beyond the right and bottom edges of the window; they are
// real, enabled controls in the focus order all the same.
struct SmallColorControls {
    QGroupBox* fraRGBColors = nullptr;
    QCheckBox* chkHex = nullptr;
    QVector<QLabel*> lblBorder;
    QVector<QLabel*> lblRGB;
    QVector<QScrollBar*> hsbRGB;
    QVector<QLineEdit*> txtRGB;
    QGroupBox* fraShade = nullptr;
    QScrollBar* hsbShade = nullptr;
    QLabel* lblLighter = nullptr;
    QGroupBox* fraColor = nullptr;
    QLabel* lblColorBox = nullptr;
    QPushButton* chkCapture = nullptr;
    QPushButton* cmdApply = nullptr;
    QFrame* Frame1 = nullptr;
    QVector<QLabel*> lblCap;
    QVector<QLineEdit*> txtColor;
    QVector<QToolButton*> imgCopies;
    QGroupBox* fraQBColors = nullptr;
    PaletteBox* picQBColors = nullptr;
    QGroupBox* fraSysColors = nullptr;
    QComboBox* cboSysColors = nullptr;

    // Creates every control on the form, in focus order.
    void createControls(QDialog* form);
};
