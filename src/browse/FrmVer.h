#pragma once

#include <QDialog>

// Placeholder: the window is being built.
class FrmVer : public QDialog {
    Q_OBJECT
public:
    FrmVer();

};
