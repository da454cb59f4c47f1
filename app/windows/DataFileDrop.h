// DataFileDrop: one file dropped on the main window. A recorded data file (.man, .lis, .str or .pos) is
// loaded as File > Load loads it; any other file gets the load's own rejection message and nothing else
// happens. The window takes a drop only while File > Load could be chosen and no modal window is open.
#pragma once

#include <QObject>

#include <functional>
#include <string>

class QWidget;

class DataFileDrop : public QObject {
public:
    // `allowed`: whether File > Load can be chosen now; `load`: loads a file.
    DataFileDrop(QWidget &window, std::function<bool()> allowed,
                 std::function<void(const std::string &)> load);

    // Whether a file name ends in one of the four data-file extensions (any case).
    static bool IsDataFileName(const QString &file);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::function<bool()> allowed_;
    std::function<void(const std::string &)> load_;
};
