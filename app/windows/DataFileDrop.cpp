#include "windows/DataFileDrop.h"

#include "platform/Dialogs.h"

#include <QApplication>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QTimer>
#include <QUrl>
#include <QWidget>

namespace {

// The one local file a drag carries; empty when it carries none or several.
QString DraggedFile(const QMimeData *mime) {
    if (!mime || !mime->hasUrls()) return {};
    const QList<QUrl> urls = mime->urls();
    if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
    return urls.front().toLocalFile();
}

} // namespace

DataFileDrop::DataFileDrop(QWidget &window, std::function<bool()> allowed,
                           std::function<void(const std::string &)> load)
    : QObject(&window), allowed_(std::move(allowed)), load_(std::move(load)) {
    window.setAcceptDrops(true);
    window.installEventFilter(this);
}

bool DataFileDrop::IsDataFileName(const QString &file) {
    const QString ext = QFileInfo(file).suffix().toLower();
    return ext == "man" || ext == "lis" || ext == "str" || ext == "pos";
}

bool DataFileDrop::eventFilter(QObject *watched, QEvent *event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto *drop = static_cast<QDropEvent *>(event);
    const QString file = DraggedFile(drop->mimeData());
    if (file.isEmpty() || QApplication::activeModalWidget() || !allowed_()) {
        drop->ignore();
        return true;
    }
    drop->acceptProposedAction();
    if (type == QEvent::Drop) {
        if (IsDataFileName(file)) {
            load_(QFile::encodeName(file).toStdString());
        } else {
            // After the drop has ended: the program the file came from does not wait for the box.
            QTimer::singleShot(0, this, [] {
                platform::ShowMessage(platform::MessageKind::Error, "Invalid Software File Type",
                                      platform::MessageButtons::Ok);
            });
        }
    }
    return true;
}
