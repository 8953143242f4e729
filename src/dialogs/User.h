#pragma once

#include <QDialog>

// Placeholder: the window is being built.
class User : public QDialog {
    Q_OBJECT
public:
    User();

};
