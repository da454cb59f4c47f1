#include "widgets/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>

namespace platform {
namespace {

const char *const kButtonsProperty = "kpdButtons";
const char *const kClosedProperty = "kpdClosedButton";

QString Q(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QWidget *DialogParent() {
    return QApplication::activeWindow();
}

void AddButton(QMessageBox &box, QMessageBox::StandardButton which, const char *caption) {
    box.addButton(which)->setText(QString::fromLatin1(caption));
}

QStringList QtFilterList(const std::string &windowsFilter) {
    const QString converted = QString::fromStdString(ConvertFilter(windowsFilter));
    return converted.isEmpty() ? QStringList() : converted.split(QStringLiteral(";;"));
}

QString InitialPath(const FileDialogOptions &options) {
    if (options.initialDir.empty()) return QString::fromStdString(options.fileName);
    if (options.fileName.empty()) return QString::fromStdString(options.initialDir);
    return QString::fromStdString(options.initialDir) + QLatin1Char('/') +
           QString::fromStdString(options.fileName);
}

std::optional<std::string> RunFileDialog(const FileDialogOptions &options, bool save) {
    QFileDialog dialog(DialogParent(), QString::fromStdString(options.title), InitialPath(options));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const QStringList filters = QtFilterList(options.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const std::string selected = SelectedFilter(options.filter, options.filterIndex);
        if (!selected.empty()) dialog.selectNameFilter(QString::fromStdString(selected));
    }
    if (save) {
        std::string_view ext = options.defaultExt;
        while (!ext.empty() && ext.front() == '.')
            ext.remove_prefix(1);
        dialog.setDefaultSuffix(Q(ext));
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.overwritePrompt);
    }
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const QStringList files = dialog.selectedFiles();
    if (files.isEmpty() || files.front().isEmpty()) return std::nullopt;
    std::string path = files.front().toStdString();
    return save ? ApplyDefaultExtension(path, options.defaultExt) : path;
}

} // namespace

std::unique_ptr<QMessageBox> QtDialogs::BuildMessageBox(MessageKind kind, std::string_view text,
                                                        MessageButtons buttons, std::string_view caption,
                                                        QWidget *parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(caption.empty() ? QString::fromStdString(DefaultCaption(kind)) : Q(caption));
    box->setText(Q(text));
    box->setTextFormat(Qt::PlainText);
    switch (kind) {
    case MessageKind::Warning:
        box->setIcon(QMessageBox::Warning);
        break;
    case MessageKind::Information:
        box->setIcon(QMessageBox::Information);
        break;
    case MessageKind::Error:
        box->setIcon(QMessageBox::Critical);
        break;
    case MessageKind::Confirmation:
        box->setIcon(QMessageBox::Question);
        break;
    }
    switch (buttons) {
    case MessageButtons::Ok:
        AddButton(*box, QMessageBox::Ok, "OK");
        break;
    case MessageButtons::OkCancel:
        AddButton(*box, QMessageBox::Ok, "OK");
        AddButton(*box, QMessageBox::Cancel, "Cancel");
        break;
    case MessageButtons::YesNo:
        AddButton(*box, QMessageBox::Yes, "Yes");
        AddButton(*box, QMessageBox::No, "No");
        break;
    case MessageButtons::RetryIgnore:
        AddButton(*box, QMessageBox::Retry, "Retry");
        AddButton(*box, QMessageBox::Ignore, "Ignore");
        break;
    case MessageButtons::YesNoAll:
        AddButton(*box, QMessageBox::Yes, "Yes");
        AddButton(*box, QMessageBox::No, "No");
        AddButton(*box, QMessageBox::YesToAll, "All");
        break;
    }
    // The first button is the default one.
    const QMessageBox::StandardButton first =
        buttons == MessageButtons::YesNo || buttons == MessageButtons::YesNoAll ? QMessageBox::Yes
        : buttons == MessageButtons::RetryIgnore                                ? QMessageBox::Retry
                                                                                : QMessageBox::Ok;
    box->setDefaultButton(first);
    if (buttons == MessageButtons::OkCancel) {
        box->setEscapeButton(box->button(QMessageBox::Cancel));
    } else {
        // Escape and the window's close button end the box without choosing one of its buttons: a
        // hidden escape button tells that apart, so the caller can ask again.
        QPushButton *closed = box->addButton(QMessageBox::Abort);
        closed->setObjectName(QStringLiteral("closedWithoutButton"));
        closed->hide();
        box->setEscapeButton(closed);
        box->setProperty(kClosedProperty, QVariant::fromValue(static_cast<QObject *>(closed)));
    }
    box->setProperty(kButtonsProperty, static_cast<int>(buttons));
    return box;
}

MessageResult QtDialogs::ResultOf(const QMessageBox &box, const QAbstractButton *clicked) {
    if (!clicked) return MessageResult::Closed;
    if (clicked == box.property(kClosedProperty).value<QObject *>()) return MessageResult::Closed;
    switch (box.standardButton(const_cast<QAbstractButton *>(clicked))) {
    case QMessageBox::Ok:
        return MessageResult::Ok;
    case QMessageBox::Cancel:
        return MessageResult::Cancel;
    case QMessageBox::Yes:
        return MessageResult::Yes;
    case QMessageBox::No:
        return MessageResult::No;
    case QMessageBox::Retry:
        return MessageResult::Retry;
    case QMessageBox::Ignore:
        return MessageResult::Ignore;
    case QMessageBox::YesToAll:
        return MessageResult::All;
    default:
        return MessageResult::Closed;
    }
}

MessageResult QtDialogs::Message(MessageKind kind, std::string_view text, MessageButtons buttons,
                                 std::string_view caption) {
    auto box = BuildMessageBox(kind, text, buttons, caption, DialogParent());
    box->exec();
    return ResultOf(*box, box->clickedButton());
}

std::optional<std::string> QtDialogs::OpenFile(const FileDialogOptions &options) {
    return RunFileDialog(options, false);
}

std::optional<std::string> QtDialogs::SaveFile(const FileDialogOptions &options) {
    return RunFileDialog(options, true);
}

} // namespace platform
