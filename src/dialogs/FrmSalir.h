#pragma once

#include <QDialog>

// Placeholder: the window is being built.
class FrmSalir : public QDialog {
    Q_OBJECT
public:
    FrmSalir();
    void nuevo();
    void nombre();
    void error();
};
