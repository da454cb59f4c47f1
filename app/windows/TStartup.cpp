#include "windows/TStartup.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

TStartup::TStartup(QWidget *parent, const std::function<void(TStartup *)> &onConstructed) : QDialog(parent) {
    setObjectName("Startup");
    setWindowTitle("Searching for Quorvel Electronics...");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint);
    setFixedSize(390, 124);
    QFont f("Arial");
    f.setPixelSize(13);
    f.setBold(true);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setFont(f);
    Label1->setGeometry(35, 45, 321, 33);
    Label1->setAlignment(Qt::AlignCenter);
    if (QScreen *s = QGuiApplication::primaryScreen()) {
        const QRect r = s->availableGeometry();
        move(r.center() - QPoint(width() / 2, height() / 2));
    }
    if (onConstructed) onConstructed(this);
}

void TStartup::ShowText(const QString &text) {
    Label1->setText(text);
    Label1->repaint();
    repaint();
}

void TStartup::ShowWithCaption(const QString &caption) {
    setWindowTitle(caption);
    show();
    raise();
    repaint();
}
