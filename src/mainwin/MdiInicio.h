#pragma once

#include <QMainWindow>

// Placeholder: the window is being built.
class MdiInicio : public QMainWindow {
    Q_OBJECT
public:
    MdiInicio();

};
