#pragma once

#include <QDialog>

// Placeholder: the window is being built.
class FrmSplash : public QDialog {
    Q_OBJECT
public:
    FrmSplash();

};
