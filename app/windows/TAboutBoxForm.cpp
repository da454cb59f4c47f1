#include "windows/TAboutBoxForm.h"

#include "access/PortLink.h"
#include "platform/VersionInfo.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TAboutBoxForm::TAboutBoxForm(QWidget *parent) : QDialog(parent) {
    setObjectName("AboutBoxForm");
    setWindowTitle("About");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    auto *outer = new QVBoxLayout(this);
    outer->setSizeConstraint(QLayout::SetFixedSize); // as large as the texts filled in when it is shown
    auto *panel = new QFrame(this);
    panel->setObjectName("Panel1");
    panel->setFrameShape(QFrame::StyledPanel);
    auto *v = new QVBoxLayout(panel);
    auto make = [&](const char *name, const char *text) {
        auto *l = new QLabel(text, panel);
        l->setObjectName(name);
        v->addWidget(l);
        return l;
    };
    ProductName = make("ProductName", "Product Name");
    Version = make("Version", "Version");
    Comments = make("Comments", "");
    Label1 = make("Label1", "Copyright");
    TheDllVersion = make("TheDllVersion", "Using DLL Version: ");
    outer->addWidget(panel);
    OKButton = new QPushButton("OK", this);
    OKButton->setObjectName("OKButton");
    OKButton->setDefault(true);
    outer->addWidget(OKButton, 0, Qt::AlignHCenter);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBoxForm::FillLabels() {
    TheDllVersion->setText("Using DLL Version: " + QString::number(PortLink::LibraryVersion(), 16).toUpper());
    const auto &res = platform::VersionResource::Program();
    if (res.Size() == 0) return;
    if (auto s = res.Query(platform::kProductNamePath)) ProductName->setText(QString::fromStdString(*s));
    if (auto s = res.Query(platform::kFileVersionPath)) Version->setText("Ver " + QString::fromStdString(*s));
    if (auto s = res.Query(platform::kCommentsPath)) Comments->setText(QString::fromStdString(*s));
    if (auto s = res.Query(platform::kLegalCopyrightPath)) Label1->setText(QString::fromStdString(*s));
}

void TAboutBoxForm::showEvent(QShowEvent *event) {
    FillLabels();
    QDialog::showEvent(event);
}
