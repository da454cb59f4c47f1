#include "windows/TPlotSettingsForm.h"

#include "platform/Dialogs.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include <utility>

namespace {

QString Q(const std::string &s) {
    return QString::fromStdString(s);
}

} // namespace

TPlotSettingsForm::TPlotSettingsForm(QWidget *parent) : QDialog(parent) {
    setObjectName("PlotSettingsForm");
    setWindowTitle("Encoder Signal Plot Options");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setFixedSize(321, 305);
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);

    displaymemo = new QLabel(this);
    displaymemo->setObjectName("displaymemo");
    displaymemo->setGeometry(16, 8, 289, 57);
    displaymemo->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    displaymemo->setWordWrap(true);

    displaybox = new QLineEdit(this);
    displaybox->setObjectName("displaybox");
    displaybox->setGeometry(16, 72, 121, 21);
    displaybox->installEventFilter(this);

    CheckBox1 = new QCheckBox(this);
    CheckBox1->setObjectName("CheckBox1");
    CheckBox1->setGeometry(16, 104, 289, 17);
    connect(CheckBox1, &QCheckBox::clicked, this, [this] { CheckBox1Click(); });

    auto makeLabel = [this](const char *name, const char *text, int y) {
        auto *label = new QLabel(text, this);
        label->setObjectName(name);
        label->setGeometry(16, y, 177, 21);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    };
    auto makeEdit = [this](const char *name, int y) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        edit->setGeometry(200, y, 105, 21);
        return edit;
    };
    Label1 = makeLabel("Label1", "Minimum Counts", 132);
    Edit1 = makeEdit("Edit1", 132);
    Label2 = makeLabel("Label2", "Maximum Counts", 160);
    Edit2 = makeEdit("Edit2", 160);
    Label3 = makeLabel("Label3", "Minimum Velocity", 188);
    Edit3 = makeEdit("Edit3", 188);
    Label4 = makeLabel("Label4", "Maximum Velocity", 216);
    Edit4 = makeEdit("Edit4", 216);
    for (QWidget *w : {static_cast<QWidget *>(Label3), static_cast<QWidget *>(Edit3),
                       static_cast<QWidget *>(Label4), static_cast<QWidget *>(Edit4)})
        w->setVisible(false);

    applybutton = new QPushButton("Apply", this);
    applybutton->setObjectName("applybutton");
    applybutton->setGeometry(64, 264, 75, 25);
    applybutton->setDefault(true);
    BitBtn1 = new QPushButton("Cancel", this);
    BitBtn1->setObjectName("BitBtn1");
    BitBtn1->setGeometry(184, 264, 75, 25);
    connect(applybutton, &QPushButton::clicked, this, [this] { applybuttonClick(); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
}

void TPlotSettingsForm::SetPageProvider(PageProvider provider) {
    pageProvider_ = std::move(provider);
}

void TPlotSettingsForm::SetOnApply(ApplyHandler handler) {
    onApply_ = std::move(handler);
}

void TPlotSettingsForm::Prepare(const kpd::PlotOptionsPage &page) {
    page_ = page;
    setWindowTitle(Q(page.caption));
    displaymemo->setText(Q(page.memo));
    displaybox->setText(Q(page.displayText));
    CheckBox1->setText(Q(page.checkText));
    CheckBox1->setChecked(page.checked);
    CheckBox1->setEnabled(page.checkEnabled);
    Label1->setText(Q(page.label1Text));
    Label2->setText(Q(page.label2Text));
    Edit1->setText(Q(page.edit1Text));
    Edit2->setText(Q(page.edit2Text));
    // Without usable circle controls (older electronics) the range fields stay disabled whatever
    // CheckBox1 shows; otherwise CheckBox1Click decides below.
    SetRangeFieldsEnabled(page.circleControlsEnabled, page.circleControlsEnabled && page.secondRange);

    savedCheckState_ = CheckBox1->isChecked();
    CheckBox1Click();
    displaybox->setFocus();
    displaybox->selectAll();
}

void TPlotSettingsForm::SetRangeFieldsEnabled(bool first, bool second) {
    Label1->setEnabled(first);
    Edit1->setEnabled(first);
    Label2->setEnabled(first);
    Edit2->setEnabled(first);
    Label3->setEnabled(second);
    Edit3->setEnabled(second);
    Label4->setEnabled(second);
    Edit4->setEnabled(second);
}

void TPlotSettingsForm::CheckBox1Click() {
    if (!CheckBox1->isEnabled()) return;
    if (CheckBox1->isChecked())
        SetRangeFieldsEnabled(false, false);
    else
        SetRangeFieldsEnabled(true, page_.secondRange);
}

kpd::PlotOptionsEntry TPlotSettingsForm::Entry() const {
    kpd::PlotOptionsEntry e;
    e.mode = page_.mode;
    e.checked = CheckBox1->isChecked();
    e.display = displaybox->text().toStdString();
    e.edit1 = Edit1->text().toStdString();
    e.edit2 = Edit2->text().toStdString();
    return e;
}

void TPlotSettingsForm::applybuttonClick() {
    const kpd::PlotOptionsEntry entry = Entry();
    int pendingCount = 0;
    if (!kpd::ValidatePlotOptions(page_, entry, pendingCount)) {
        platform::ShowMessage(platform::MessageKind::Warning, kpd::InvalidPlotOptionsText,
                              platform::MessageButtons::Ok);
        return;
    }
    hide();
    accept();
    if (onApply_) onApply_(entry, pendingCount);
}

void TPlotSettingsForm::BitBtn1Click() {
    reject();
}

void TPlotSettingsForm::reject() {
    // Cancel, Escape and the close button all leave CheckBox1 as the dialog found it.
    CheckBox1->setChecked(savedCheckState_);
    CheckBox1Click();
    QDialog::reject();
}

void TPlotSettingsForm::showEvent(QShowEvent *event) {
    if (pageProvider_ && !event->spontaneous()) Prepare(pageProvider_());
    QDialog::showEvent(event);
    displaybox->setFocus();
}

bool TPlotSettingsForm::eventFilter(QObject *watched, QEvent *event) {
    if (watched == displaybox && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            applybuttonClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
