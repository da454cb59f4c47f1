#include "ModalDialogs.h"

#include "ModalWait.h"

#include "windows/TPlotSettingsForm.h"
#include "windows/TRadioDialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <cstdio>

namespace soak {

bool ModalDialogs::Chance(double p) {
    return std::uniform_real_distribution<double>(0.0, 1.0)(rng_) < p;
}

int ModalDialogs::operator()(QDialog *dialog) {
    ++figures_.modalDialogs;
    dialog->setResult(QDialog::Rejected);
    dialog->show(); // builds its content as on a showing
    ModalWait::Spend(std::uniform_int_distribution<int>(0, 300)(rng_)); // the dialog's own event loop
    std::string what = "modal " + dialog->objectName().toStdString();
    if (auto *p = qobject_cast<TPlotSettingsForm *>(dialog)) {
        if (Chance(0.35)) {
            p->BitBtn1->click();
            what += ": cancel";
        } else {
            const kpd::PlotOptionsPage &page = p->Page();
            if (Chance(0.1)) {
                p->displaybox->setText("12x"); // not a number: refused, the dialog stays open
                what += ": bad entry";
            } else if (Chance(0.6)) {
                const double lo = page.valueMinimum, hi = page.valueMaximum;
                const double v = lo + (hi - lo) * std::uniform_real_distribution<double>(0.0, 1.0)(rng_) *
                                          (Chance(0.8) ? 0.05 : 1.0);
                char text[32];
                std::snprintf(text, sizeof text, "%d", static_cast<int>(v));
                p->displaybox->setText(text);
                what += ": new entry";
            } else {
                what += ": unchanged";
            }
            if (p->CheckBox1->isEnabled() && Chance(0.3)) p->CheckBox1->click();
            p->applybutton->click();
            if (p->isVisible()) p->BitBtn1->click();
        }
    } else if (auto *r = qobject_cast<TRadioDialog *>(dialog)) {
        for (TRadioGroup *g : {r->RadioGroup1, r->RadioGroup2, r->RadioGroup3}) {
            const int n = static_cast<int>(g->Items().size());
            if (g->isVisible() && g->isEnabled() && n > 0 && Chance(0.5))
                g->SetItemIndex(std::uniform_int_distribution<int>(0, n - 1)(rng_));
        }
        const bool ok = Chance(0.6);
        (ok ? r->OKBtn : r->CancelBtn)->click();
        what += ok ? ": OK" : ": Cancel";
    } else {
        const bool ok = Chance(0.5);
        if (ok)
            dialog->accept();
        else
            dialog->reject();
        what += ok ? ": accept" : ": reject";
    }
    if (dialog->isVisible()) dialog->reject();
    dialog->hide();
    ++figures_.answers[what];
    return dialog->result();
}

} // namespace soak
