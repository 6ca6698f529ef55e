#pragma once
#include <QDialog>
#include <QImage>
#include <QRegion>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QFrame;
class QTimer;

// The About box: name, version, description, legal notice, the system
// information tool, the web page and the dot animation. Modeless, owned by the
// main window, one instance.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Loads the box when it is not open, shows it and brings it forward.
    static frmAbout* showFor(QWidget* owner);
    static frmAbout* loaded();

    ~frmAbout() override;

    // Draws one dot of palette entry intQBColor at (sngCol, sngRow), in points
    // of Picture1, with Picture1's present pen width.
    void QorDotAt(float sngCol, float sngRow, qint16 intQBColor);
    // Runs the dot animation until the box is no longer visible.
    void ScatterDots();
    // Starts the desktop's system information program, or says there is none.
    void StartSysInfo();

    // The fractions in [0, 1) that place the dots. Tests give fixed ones; an
    // empty source restores the program's generator.
    static void setRandomSource(std::function<float()> source);

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    explicit frmAbout(QWidget* owner);
    void buildControls();
    void Form_Load();
    void Timer1_Timer();
    void picIcon_Click();
    // Lets the rest of the program run until the next dot is due; false when
    // the application is leaving its event loop.
    bool waitForNextDot();
    void unloadWhenIdle();
    // True where a click meets the window itself rather than one of its controls.
    bool isBareWindowAt(const QPoint& pos) const;
    float innerWidthPoints() const;
    float innerHeightPoints() const;

    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDescription = nullptr;
    QLabel* lblDatabase = nullptr; // which entry database is in use
    QPlainTextEdit* txtDisclaimer = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    QLabel* picIcon = nullptr;
    QWidget* Picture1 = nullptr;
    QLabel* Picture2 = nullptr;
    QLabel* Picture3 = nullptr;
    QFrame* Line1 = nullptr;
    QTimer* Timer1 = nullptr;

    // Picture1's drawing: kept in an image so that the dots stay where they
    // were drawn until the box is unloaded.
    QImage m_surface;
    // What the dots drawn since the last repaint cover: only those spots are
    // repainted, never the texts and controls between them.
    QRegion m_dirty;
    QTimer* m_repaint = nullptr;
    int m_penWidth = 1;
    int m_runs = 0;
    bool m_unloadPending = false;
};
