#include "windows/THelpForm.h"

#include "windows/HeadingAnchors.h"

#include <QAction>
#include <QFile>
#include <QTextBrowser>
#include <QVBoxLayout>

THelpForm::THelpForm(QWidget *parent) : QWidget(parent, Qt::Window) {
    setObjectName("HelpForm");
    setWindowTitle("KPD Manual");
    resize(820, 700);
    ManualBrowser = new QTextBrowser(this);
    ManualBrowser->setObjectName("ManualBrowser");
    ManualBrowser->setOpenExternalLinks(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(ManualBrowser);
    const std::pair<QKeySequence, void (QTextBrowser::*)()> keys[] = {
        {QKeySequence(Qt::ALT | Qt::Key_Left), &QTextBrowser::backward},
        {QKeySequence(Qt::ALT | Qt::Key_Right), &QTextBrowser::forward}};
    for (const auto &[key, slot] : keys) {
        auto *a = new QAction(this);
        a->setShortcut(key);
        connect(a, &QAction::triggered, ManualBrowser, slot);
        addAction(a);
    }
    auto *hide = new QAction(this);
    hide->setShortcut(Qt::Key_Escape);
    connect(hide, &QAction::triggered, this, &QWidget::hide);
    addAction(hide);
}

namespace {
const char *const kManual = ":/docs/manual.md";
} // namespace

QString THelpForm::ManualText() {
    QFile file(kManual);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

void THelpForm::ShowManual() {
    if (!loaded_) {
        // Set as text, not as a source: a link within it then only scrolls (a source whose document has
        // changed, here by the anchors, would be read again on every link).
        ManualBrowser->setMarkdown(ManualText());
        AddHeadingAnchors(*ManualBrowser->document());
        loaded_ = true;
    }
    show();
    raise();
    activateWindow();
}
