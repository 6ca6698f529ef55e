#pragma once
#include <QDialog>

// The About box: name, version, description, legal notice, the system
// information tool, the web page and the dot animation. Modeless, owned by the
// main window, one instance.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // Loads the box when it is not open, shows it and brings it forward.
    static frmAbout* showFor(QWidget* owner);
    static frmAbout* loaded();

private:
    explicit frmAbout(QWidget* owner);
    // Controls, timer and animation follow here.
};
