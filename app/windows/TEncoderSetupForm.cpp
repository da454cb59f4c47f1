#include "windows/TEncoderSetupForm.h"

#include "widgets/ScreenInfo.h"

#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include <algorithm>
#include <utility>

namespace {

QString Q(const std::string &s) {
    return QString::fromStdString(s);
}

} // namespace

TEncoderSetupForm::TEncoderSetupForm(QWidget *parent) : QDialog(parent) {
    setObjectName("EncoderSetupForm");
    setWindowTitle("Encoder Setup");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    setFixedSize(337, 233);
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);

    encoderunittypegroup = new TRadioGroup(this);
    encoderunittypegroup->setObjectName("encoderunittypegroup");
    encoderunittypegroup->setTitle("Encoder Unit Type");
    encoderunittypegroup->setGeometry(8, 8, 153, 73);
    encoderunittypegroup->SetItems({"Linear", "Encoder Counts"});
    connect(encoderunittypegroup, &TRadioGroup::ItemClicked, this, [this] { encoderunittypegroupClick(); });

    unittypegroup = new TRadioGroup(this);
    unittypegroup->setObjectName("unittypegroup");
    unittypegroup->setTitle("Units to Display");
    unittypegroup->setGeometry(176, 8, 153, 169);
    connect(unittypegroup, &TRadioGroup::ItemClicked, this, [this] { unittypegroupClick(); });

    gratingpitchlabel = new QLabel("grating pitch (um)", this);
    gratingpitchlabel->setObjectName("gratingpitchlabel");
    gratingpitchlabel->setGeometry(8, 92, 153, 17);
    gratingpitchbox = new QLineEdit(this);
    gratingpitchbox->setObjectName("gratingpitchbox");
    gratingpitchbox->setGeometry(8, 112, 105, 21);
    gratingpitchbox->installEventFilter(this);
    connect(gratingpitchbox, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!setup_) return;
        setup_->SetPitchText(text.toStdString());
        applybutton->setEnabled(setup_->CanApply());
    });

    // The rotary grating configuration is never shown; its list carries the grating descriptions and the
    // selected grating through the dialog.
    GroupBox1 = new QGroupBox("Rotary Grating Configuration", this);
    GroupBox1->setObjectName("GroupBox1");
    GroupBox1->setGeometry(8, 140, 153, 49);
    opticaldiameterbox = new QComboBox(GroupBox1);
    opticaldiameterbox->setObjectName("opticaldiameterbox");
    opticaldiameterbox->setGeometry(8, 18, 137, 21);
    GroupBox1->setVisible(false);

    applybutton = new QPushButton("Apply", this);
    applybutton->setObjectName("applybutton");
    applybutton->setGeometry(64, 196, 75, 25);
    applybutton->setAutoDefault(false);
    BitBtn2 = new QPushButton("Cancel", this);
    BitBtn2->setObjectName("BitBtn2");
    BitBtn2->setGeometry(198, 196, 75, 25);
    BitBtn2->setDefault(true);
    connect(applybutton, &QPushButton::clicked, this, [this] { applybuttonClick(); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
}

void TEncoderSetupForm::SetSetupProvider(SetupProvider provider) {
    provider_ = std::move(provider);
}

void TEncoderSetupForm::SetOnApply(ApplyHandler handler) {
    onApply_ = std::move(handler);
}

void TEncoderSetupForm::Prepare(const kpd::EncoderSetup &setup) {
    setup_ = setup;
    encoderunittypegroup->SetItemIndex(setup_->EncoderUnitType());
    opticaldiameterbox->clear();
    for (const std::string &g : setup_->Gratings())
        opticaldiameterbox->addItem(Q(g));
    opticaldiameterbox->setCurrentIndex(setup_->GratingItem());
    gratingpitchbox->setText(Q(setup_->PitchText()));
    ShowUnits();
}

void TEncoderSetupForm::ShowUnits() {
    QStringList units;
    for (const std::string &u : setup_->Units())
        units << Q(u);
    unittypegroup->SetItems(units);
    // Items added while the window is shown appear at once, laid out.
    for (QRadioButton *b : unittypegroup->findChildren<QRadioButton *>())
        b->setVisible(true);
    if (QLayout *l = unittypegroup->layout()) l->activate();
    unittypegroup->SetItemIndex(setup_->UnitItem());
    unittypegroup->setEnabled(setup_->UnitsEnabled());
    gratingpitchlabel->setEnabled(setup_->PitchEnabled());
    gratingpitchbox->setEnabled(setup_->PitchEnabled());
    GroupBox1->setEnabled(false);
    opticaldiameterbox->setEnabled(false);
    applybutton->setEnabled(setup_->CanApply());
}

void TEncoderSetupForm::encoderunittypegroupClick() {
    if (!setup_) return;
    setup_->ChooseEncoderUnitType(encoderunittypegroup->ItemIndex());
    ShowUnits();
}

void TEncoderSetupForm::unittypegroupClick() {
    if (!setup_) return;
    setup_->ChooseUnit(unittypegroup->ItemIndex());
    applybutton->setEnabled(setup_->CanApply());
}

void TEncoderSetupForm::applybuttonClick() {
    if (!setup_) return;
    setup_->SetPitchText(gratingpitchbox->text().toStdString());
    setup_->ChooseGrating(opticaldiameterbox->currentIndex());
    if (!setup_->CanApply()) return;
    const kpd::EncoderSetup chosen = *setup_;
    hide();
    accept();
    if (onApply_) onApply_(chosen);
}

void TEncoderSetupForm::BitBtn2Click() {
    reject();
}

void TEncoderSetupForm::PlaceOnScreen() {
    const platform::ScreenMetrics screen = platform::CurrentScreen();
    move(std::max(0, (screen.width - width()) / 2), std::max(0, (screen.height - height()) / 2));
}

void TEncoderSetupForm::showEvent(QShowEvent *event) {
    if (!event->spontaneous()) {
        PlaceOnScreen();
        if (provider_) Prepare(provider_());
    }
    QDialog::showEvent(event);
    if (gratingpitchbox->isEnabled())
        gratingpitchbox->setFocus();
    else
        applybutton->setFocus();
}

bool TEncoderSetupForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == gratingpitchbox) {
        // A pitch box that cannot be edited passes the focus on to Apply.
        if (event->type() == QEvent::FocusIn && setup_ && !setup_->PitchEnabled()) {
            applybutton->setFocus();
            return false;
        }
        // Enter in the pitch box presses Apply (Cancel is the dialog's default button).
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                applybuttonClick();
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
