// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QtGlobal>

class PictureLabel;
class QLabel;
class QProgressBar;
class QTimer;
class TitlePair;

// The greeting between the user-name dialog and the main window: the
// user's name, the product, its version and a progress that climbs by 2
// on every tick; the tick after 100% opens the main window and closes the
// splash.
class FrmSplash : public QDialog {
    Q_OBJECT
public:
    FrmSplash();

    // One tick of the progress timer.
    void Timer1_Timer();

    qint16 progress() const { return m_progress; }

    // Centred on its screen, as the skinned dialogs are.
    void setVisible(bool visible) override;

    QLabel *lblLicenseTo;
    QLabel *lblLicenseTo1;
    QLabel *lblCompanyProduct;
    PictureLabel *Image2;
    PictureLabel *imgLogo;
    QLabel *Label1;
    QLabel *lblWarning;
    QLabel *lblVersion;
    QLabel *lblPlatform;
    QLabel *lblProductName;
    PictureLabel *Image1;
    QProgressBar *pbr1;
    QTimer *Timer1;

public slots:
    // The splash takes no keys: Esc does not close it.
    void reject() override;

protected:
    // Only the splash itself closes the splash.
    void closeEvent(QCloseEvent *event) override;

private:
    TitlePair *m_greeting;
    PictureLabel *m_frame;
    qint16 m_progress = 0;
    bool m_closing = false;
};
