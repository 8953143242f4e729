#pragma once

#include <QDialog>

// Placeholder: the window is being built.
class FrmTemas : public QDialog {
    Q_OBJECT
public:
    FrmTemas();

};
