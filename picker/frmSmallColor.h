#pragma once
#include "picker/PaletteGrid.h"
#include "picker/SmallColorControls.h"

#include <QDialog>
#include <QPointer>
#include <QVector>
#include <functional>
#include <memory>

class QLineEdit;
class ColourSwatch;

// The colour picker. Modeless and owned by the main window; Apply hands the
// colour to the owner (the text's colour for PassDex 0, the background
// otherwise) and puts it on the swatch with index PassDex.
class frmSmallColor : public QDialog, private SmallColorControls {
    Q_OBJECT
public:
    // Loads the picker when it is not open (fresh state), shows it and brings it
    // forward. The caller then sets PassDex.
    // applyColour(PassDex, colour) puts an applied colour where it belongs.
    using ApplyColour = std::function<void(int passDex, qint32 colour)>;
    static frmSmallColor* open(QWidget* owner, ApplyColour applyColour,
                               const QVector<ColourSwatch*>& swatches);
    // The open picker, or null.
    static frmSmallColor* loaded();

    ~frmSmallColor() override;

    qint16 PassDex = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    frmSmallColor(QWidget* owner, ApplyColour applyColour, const QVector<ColourSwatch*>& swatches);

    void Form_Load();
    void FillSysColors();
    void ShowColor();
    // Closing: the picker goes away for good; the next opening loads afresh.
    void unload();

    void cboSysColors_Click();
    void chkHex_Click();
    void hsbRGB_Change();
    void hsbShade_Change();
    bool txtRGB_KeyPress(QLineEdit* box, QKeyEvent* event);
    void txtRGB_Change(int index);
    void imgCopies_Click(int index);
    void picQBColors_MouseDown(Qt::MouseButton button, QPointF pos);
    void chkCapture_Click(bool ticked);
    void cmdApply_Click();
    void endCapture();

    bool hexMode() const;

    QPointer<QWidget> m_owner;
    ApplyColour m_applyColour;
    QVector<QPointer<ColourSwatch>> m_swatches;

    qint32 CurrentColor = 0;
    int SelectedCell = -1;
    bool Updating = false;
    bool Capturing = false;
    QStringList SysColorConsts;
    bool InPaint = false;
    qint16 LastShade = 0;
    bool InRGBEdit = false;
    QString LastRGBText[3];

    std::unique_ptr<PaletteGrid> m_grid;
    bool m_unloading = false;
    bool m_inCodePress = false;
};
