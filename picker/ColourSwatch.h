#pragma once
#include <QAbstractButton>

// A plain square button filled with a colour value (&H00BBGGRR or a system
// colour code &H800000nn, resolved when painted).
class ColourSwatch : public QAbstractButton {
    Q_OBJECT
public:
    explicit ColourSwatch(qint32 colour, QWidget* parent = nullptr);

    qint32 BackColor() const { return m_colour; }
    void setBackColor(qint32 colour);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void describeColour();

    qint32 m_colour;
};
