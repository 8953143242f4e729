#pragma once

#include <QDialog>

// Placeholder: the window is being built.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    FrmAbout();

};
