// SPDX-License-Identifier: GPL-3.0-or-later
#include "MdiInicio.h"

#include "Version.h"
#include "app/Forms.h"
#include "app/Module1.h"
#include "app/Timings.h"
#include "browse/Frm.h"
#include "browse/FrmVer.h"
#include "dialogs/FrmAbout.h"
#include "dialogs/FrmSalir.h"
#include "dialogs/FrmTemas.h"
#include "entry/FrmNuevo.h"
#include "skin/Artwork.h"
#include "skin/PictureLabel.h"
#include "skin/Skin.h"
#include "skin/Twips.h"

#include <QAction>
#include <QCloseEvent>
#include <QDate>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTime>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// Who made the program, as the status bar and its tooltips name them.
const QString Credit = QStringLiteral("Un programa del equipo de Sentalia");
const QString CreditWithDate = QStringLiteral("Sentalia, por el equipo de Sentalia, 2004");

QAction *entry(QMenu *menu, const QString &name, const QString &caption, const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(name);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

QAction *separator(QMenu *menu, const QString &name)
{
    QAction *action = menu->addSeparator();
    action->setObjectName(name);
    return action;
}

QMenu *submenu(QWidget *parent, const QString &name, const QString &caption)
{
    auto *menu = new QMenu(caption, parent);
    menu->setObjectName(name);
    menu->menuAction()->setObjectName(name);
    return menu;
}

QLabel *statusLabel(QWidget *parent, const QString &name, const QString &caption, const QString &tooltip)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setFont(Skin::comic(9, true));
    label->setAttribute(Qt::WA_TranslucentBackground);
    label->setToolTip(tooltip);
    return label;
}

PictureLabel *picture(QWidget *parent, const QString &name, const char *resource, bool stretch)
{
    auto *image = new PictureLabel(parent);
    image->setObjectName(name);
    image->setPicture(QString::fromLatin1(resource), stretch);
    image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return image;
}

} // namespace

MdiInicio::MdiInicio()
{
    setObjectName(QStringLiteral("mdiinicio"));
    setWindowTitle(QString::fromLatin1(Version::Title));
    setWindowIcon(QIcon(QString::fromLatin1(Artwork::IconMain)));

    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("central"));
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_mdiArea = new QMdiArea(central);
    m_mdiArea->setObjectName(QStringLiteral("mdiArea"));
    // The program's name and logo, once at the top left on white, as the
    // results window shows it; the brush grows with the area so that it
    // never repeats.
    m_background = QPixmap(QString::fromLatin1(Artwork::Background));
    fitBackground();
    m_mdiArea->viewport()->installEventFilter(this);
    column->addWidget(m_mdiArea, 1);

    buildStatusBar();
    column->addWidget(Picture1);
    setCentralWidget(central);

    buildMenus();

    // Not maximized, the window has its design size, centred on the screen.
    resize(Twips::size(8760, 5580));
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    setWindowState(Qt::WindowMaximized);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(Timings::interval(Timings::Timer::Clock));
    connect(Timer1, &QTimer::timeout, this, &MdiInicio::Timer1_Timer);
    Timer1->start();

    // Load.
    composeCaption();
    lbltime->setText(timeText(QTime::currentTime()));
    m_lbltime.fitToText();
    lbldate->setText(dateText(QDate::currentDate()));
    m_lbldate.fitToText();
    layoutStatusBar();
}

void MdiInicio::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("menuBar"));

    mnuarchivo = submenu(this, QStringLiteral("mnuarchivo"), QStringLiteral("&Archivo"));
    mnunuevo = entry(mnuarchivo, QStringLiteral("mnunuevo"), QStringLiteral("Nueva Frase"),
                     QKeySequence(Qt::CTRL | Qt::Key_N));
    mnu1 = separator(mnuarchivo, QStringLiteral("mnu1"));
    mnusalir =
        entry(mnuarchivo, QStringLiteral("mnusalir"), QStringLiteral("Salir"), QKeySequence(Qt::CTRL | Qt::Key_S));
    bar->addMenu(mnuarchivo);

    mnuver = submenu(this, QStringLiteral("mnuver"), QStringLiteral("&Ver"));
    mnuautor =
        entry(mnuver, QStringLiteral("mnuautor"), QStringLiteral("Por A&utor"), QKeySequence(Qt::CTRL | Qt::Key_U));
    mnutitulo =
        entry(mnuver, QStringLiteral("mnutitulo"), QStringLiteral("Por &Tema"), QKeySequence(Qt::CTRL | Qt::Key_T));
    mnu = separator(mnuver, QStringLiteral("mnu"));
    mnutodos =
        entry(mnuver, QStringLiteral("mnutodos"), QStringLiteral("Ver T&odos"), QKeySequence(Qt::CTRL | Qt::Key_O));
    bar->addMenu(mnuver);

    mnuayuda = submenu(this, QStringLiteral("mnuayuda"), QStringLiteral("A&yuda"));
    mnuacerca = entry(mnuayuda, QStringLiteral("mnuacerca"), QStringLiteral("Acerca de..."), QKeySequence(Qt::Key_F5));
    mnutemas = entry(mnuayuda, QStringLiteral("mnutemas"), QStringLiteral("Temas de ayuda"), QKeySequence(Qt::Key_F1));
    bar->addMenu(mnuayuda);

    // The hidden menus name the keys in their captions; the keys themselves
    // belong to the menu bar's entries.
    mnuoculto = submenu(this, QStringLiteral("mnuoculto"), QStringLiteral("oculto"));
    mnunueva1 = entry(mnuoculto, QStringLiteral("mnunueva1"), QStringLiteral("&Nueva Frase    Ctrl+N"));
    mnu2 = separator(mnuoculto, QStringLiteral("mnu2"));
    mnuver1 = submenu(mnuoculto, QStringLiteral("mnuver1"), QStringLiteral("Ver"));
    mnuautor1 = entry(mnuver1, QStringLiteral("mnuautor1"), QStringLiteral("Por autor     Ctrl+U"));
    mnutema1 = entry(mnuver1, QStringLiteral("mnutema1"), QStringLiteral("Por tema      Ctrl+T"));
    mnutodos1 = entry(mnuver1, QStringLiteral("mnutodos1"), QStringLiteral("Todos          Ctrl+O"));
    mnuoculto->addMenu(mnuver1);
    mnu3 = separator(mnuoculto, QStringLiteral("mnu3"));
    mnuayuda1 = submenu(mnuoculto, QStringLiteral("mnuayuda1"), QStringLiteral("A&yuda"));
    mnuacerca1 = entry(mnuayuda1, QStringLiteral("mnuacerca1"), QStringLiteral("Acerca de...            F5"));
    mnutemas1 = entry(mnuayuda1, QStringLiteral("mnutemas1"), QStringLiteral("Temas de ayuda     F1"));
    mnuoculto->addMenu(mnuayuda1);
    mnuu = separator(mnuoculto, QStringLiteral("mnuu"));
    mnusalir1 = entry(mnuoculto, QStringLiteral("mnusalir1"), QStringLiteral("Salir                Ctrl+S"));

    mnuprint = submenu(this, QStringLiteral("mnuprint"), QStringLiteral("print"));
    mnuimprimir1 = entry(mnuprint, QStringLiteral("mnuimprimir1"), QStringLiteral("Imprimir encontrados"));

    mnuoculto1 = submenu(this, QStringLiteral("mnuoculto1"), QStringLiteral("oculto1"));
    mnuautor2 = entry(mnuoculto1, QStringLiteral("mnuautor2"), QStringLiteral("Por A&utor    Ctrl+U"));
    mnutema2 = entry(mnuoculto1, QStringLiteral("mnutema2"), QStringLiteral("Por &Tema     Ctrl+T"));
    mnu4 = separator(mnuoculto1, QStringLiteral("mnu4"));
    mnutodos2 = entry(mnuoculto1, QStringLiteral("mnutodos2"), QStringLiteral("Ver T&odos    Ctrl+O"));

    const auto wire = [this](QAction *action, void (MdiInicio::*slot)()) {
        connect(action, &QAction::triggered, this, slot);
    };
    for (QAction *action : {mnunuevo, mnunueva1})
        wire(action, &MdiInicio::nuevaFrase);
    for (QAction *action : {mnuautor, mnuautor1, mnuautor2})
        wire(action, &MdiInicio::porAutor);
    for (QAction *action : {mnutitulo, mnutema1, mnutema2})
        wire(action, &MdiInicio::porTema);
    for (QAction *action : {mnutodos, mnutodos1, mnutodos2})
        wire(action, &MdiInicio::verTodos);
    for (QAction *action : {mnuacerca, mnuacerca1})
        wire(action, &MdiInicio::acercaDe);
    for (QAction *action : {mnutemas, mnutemas1})
        wire(action, &MdiInicio::temasAyuda);
    for (QAction *action : {mnusalir, mnusalir1})
        wire(action, &MdiInicio::salirPregunta);
    wire(mnuimprimir1, &MdiInicio::imprimirEncontrados);
}

void MdiInicio::buildStatusBar()
{
    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setFixedHeight(Twips::px(315));
    // Where the boxes leave a gap, the bar shows the strip they lie on.
    Picture1->setAutoFillBackground(true);
    // Its texts are the designs' black whatever the desktop's colours.
    QPalette back = Skin::palette();
    const QPixmap strip(QString::fromLatin1(Artwork::BottomStrip));
    if (!strip.isNull())
        back.setBrush(QPalette::Window, QBrush(strip.scaled(strip.width(), Twips::px(315))));
    Picture1->setPalette(back);

    // Built from the back to the front: images, then labels, then the
    // picture boxes above the images and labels of their container.
    img1 = picture(Picture1, QStringLiteral("img1"), Artwork::CornerBottomRight, true);
    m_img1 = TwipsBox(img1, 8400, 0, 240, 315);
    Image1 = picture(Picture1, QStringLiteral("Image1"), Artwork::CornerBottomLeft, true);
    m_Image1 = TwipsBox(Image1, 0, 0, 240, 315);

    pct3 = new QWidget(Picture1);
    pct3->setObjectName(QStringLiteral("pct3"));
    pct3->setToolTip(Credit);
    m_pct3 = TwipsBox(pct3, 240, 0, 4575, 375);
    Image2 = picture(pct3, QStringLiteral("Image2"), Artwork::BottomStrip, true);
    m_Image2 = TwipsBox(Image2, 0, 0, 4500, 315);
    lblestado = statusLabel(pct3, QStringLiteral("lblestado"),
                            QStringLiteral("Bienvenidos a Sentalia   **") + Credit + QStringLiteral("**"),
                            CreditWithDate);
    m_lblestado = TwipsBox(lblestado, 0, 15, 5325, 240);
    m_lblestado.fitToText();

    pct2 = picture(Picture1, QStringLiteral("pct2"), Artwork::BottomStrip, false);
    pct2->setToolTip(QStringLiteral("Fecha Actual"));
    m_pct2 = TwipsBox(pct2, 5400, 0, 1455, 375);
    lbldate = statusLabel(pct2, QStringLiteral("lbldate"), QStringLiteral("date"), QStringLiteral("Fecha Actual"));
    lbldate->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lbldate = TwipsBox(lbldate, 0, 15, 1365, 240);

    pct1 = picture(Picture1, QStringLiteral("pct1"), Artwork::BottomStrip, false);
    pct1->setToolTip(QStringLiteral("Hora Actual"));
    m_pct1 = TwipsBox(pct1, 6840, 0, 1455, 375);
    lbltime = statusLabel(pct1, QStringLiteral("lbltime"), QStringLiteral("time"), QStringLiteral("Hora Actual"));
    lbltime->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_lbltime = TwipsBox(lbltime, 0, 15, 1455, 240);
}

void MdiInicio::composeCaption()
{
    setWindowTitle(QString::fromLatin1(Version::Title) + QStringLiteral(" para ") + Module1::usuario);
}

QString MdiInicio::timeText(const QTime &time)
{
    const QLocale locale = QLocale::system();
    // The long form adds the time zone; the clock shows only the time.
    QString format;
    bool quoted = false;
    for (const QChar c : locale.timeFormat(QLocale::LongFormat)) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        format += c;
    }
    format.remove(QStringLiteral("()"));
    format = format.simplified();
    if (!format.contains(u's')) {
        format = locale.timeFormat(QLocale::ShortFormat);
        const qsizetype minutes = format.indexOf(QStringLiteral("mm"));
        format.insert(minutes < 0 ? format.size() : minutes + 2, QStringLiteral(":ss"));
    }
    return locale.toString(time, format);
}

QString MdiInicio::dateText(const QDate &date)
{
    // The locale dates are read in is the first of these that is set. With
    // none, or the C and POSIX locales Debian starts with, the date is
    // Spanish, as the rest of the program is: never "9 Dec 2026".
    QByteArray name;
    for (const char *variable : {"LC_ALL", "LC_TIME", "LANG"}) {
        name = qgetenv(variable);
        if (!name.isEmpty())
            break;
    }
    for (const char end : {'.', '@'}) {
        const qsizetype at = name.indexOf(end);
        if (at >= 0)
            name.truncate(at);
    }
    if (name.isEmpty() || name == "C" || name == "POSIX")
        return QLocale(QLocale::Spanish, QLocale::Spain).toString(date, QLocale::ShortFormat);
    return QLocale::system().toString(date, QLocale::ShortFormat);
}

void MdiInicio::Timer1_Timer()
{
    lbltime->setText(timeText(QTime::currentTime()));
    m_lbltime.fitToText();
}

void MdiInicio::showEvent(QShowEvent *event)
{
    // A window built early, unseen, by the message dialog had no name yet.
    if (!m_shownOnce) {
        m_shownOnce = true;
        composeCaption();
    }
    QMainWindow::showEvent(event);
    // The window that opens the working phase takes the keyboard, so that
    // the menu keys work at once, even where no window manager hands it over.
    activateWindow();
}

void MdiInicio::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    layoutStatusBar();
}

void MdiInicio::layoutStatusBar()
{
    const float W = float(Twips::fromPx(frameGeometry().width()));
    const float S = float(Twips::fromPx(width()));

    // Each rule stands alone: a refused value leaves its element as it was.
    m_img1.setLeft(S - m_img1.width() + 50);
    m_pct1.setLeft(S - m_pct1.width() - m_img1.width() + 50);
    m_pct2.setLeft(m_pct1.left() - m_pct2.width());
    m_pct3.setWidth(W - m_pct2.width() - m_pct1.width() - 2 * m_img1.width() - 100);
    m_Image2.setWidth(m_pct3.width());
}

void MdiInicio::closeEvent(QCloseEvent *event)
{
    salirPregunta();
    if (Module1::salir)
        event->accept();
    else
        event->ignore();
}

void MdiInicio::fitBackground()
{
    const QSize area = m_mdiArea->viewport()->size().expandedTo(m_background.size()).expandedTo(m_backgroundArea);
    if (area == m_backgroundArea)
        return;
    m_backgroundArea = area;
    QPixmap sheet(area);
    sheet.fill(Qt::white);
    QPainter painter(&sheet);
    painter.drawPixmap(0, 0, m_background);
    painter.end();
    m_mdiArea->setBackground(QBrush(sheet));
}

bool MdiInicio::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_mdiArea->viewport()) {
        if (event->type() == QEvent::Resize)
            fitBackground();
        // Presses reach the document area only where no results window
        // covers it.
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (mouse->button() == Qt::RightButton) {
                mnuoculto->popup(mouse->globalPosition().toPoint());
                return true;
            }
            if (event->type() == QEvent::MouseButtonDblClick && mouse->button() == Qt::LeftButton) {
                // After the press that opened it has been handled.
                QTimer::singleShot(0, this, &MdiInicio::temasAyuda);
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MdiInicio::nuevaFrase()
{
    FrmNuevo::openModal();
}

void MdiInicio::porAutor()
{
    Module1::portema = false;
    Forms::frmver()->exec();
}

void MdiInicio::porTema()
{
    Module1::portema = true;
    Forms::frmver()->exec();
}

void MdiInicio::verTodos()
{
    Forms::frm()->todos();
}

void MdiInicio::imprimirEncontrados()
{
    Forms::frm()->imprimir();
}

void MdiInicio::acercaDe()
{
    Forms::frmAbout()->exec();
}

void MdiInicio::temasAyuda()
{
    Forms::frmtemas()->exec();
}

void MdiInicio::salirPregunta()
{
    FrmSalir *dialog = Forms::frmsalir();
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
