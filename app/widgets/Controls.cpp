#include "widgets/Controls.h"

#include "widgets/Lamp.h"

#include <QCheckBox>
#include <QLabel>
#include <QToolButton>

namespace platform {

QToolButton *MakeButton(QWidget *parent, const char *name, const char *caption) {
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setAutoRaise(true); // flat speed button
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setMouseTracking(true);
    return b;
}

QLabel *MakeLabel(QWidget *parent, const char *name, const QString &text) {
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    return l;
}

QCheckBox *MakeCheck(QWidget *parent, const char *name, const char *caption) {
    auto *c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    // A white box with a black tick, readable on the black window.
    QPalette pal = c->palette();
    pal.setColor(QPalette::Base, Qt::white);
    pal.setColor(QPalette::Text, Qt::black);
    c->setPalette(pal);
    return c;
}

platform::Lamp *MakeLamp(QWidget *parent, const char *name) {
    auto *l = new platform::Lamp(parent, QColor(0x80, 0x80, 0x80));
    l->setObjectName(name);
    return l;
}

} // namespace platform
