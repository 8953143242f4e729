#pragma once

#include <QDialog>

// Placeholder: the window is being built.
class FrmNuevo : public QDialog {
    Q_OBJECT
public:
    FrmNuevo();

};
