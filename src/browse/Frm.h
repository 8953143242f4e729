#pragma once

#include <QWidget>

// Placeholder: the window is being built.
class Frm : public QWidget {
    Q_OBJECT
public:
    Frm();
    void todos();
    void imprimir();
};
