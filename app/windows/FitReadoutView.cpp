#include "windows/FitReadoutView.h"

#include <QLabel>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {
constexpr int kLines = 7; // heading, five judged values, ripple
}

FitReadoutView::FitReadoutView(QWidget &window, const kpd::LissajousPlot &plot,
                               std::function<kpd::PlotLook()> look, QObject *parent)
    : QObject(parent), window_(window), plot_(plot), look_(std::move(look)), timer_(new QTimer(this)) {
    for (int i = 0; i < kLines; ++i) {
        auto *l = new QLabel(&window);
        l->setObjectName(QString("FitReadout%1").arg(i + 1));
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        l->hide();
        labels_.push_back(l);
    }
    timer_->setObjectName("FitReadoutTimer");
    timer_->setInterval(IntervalMs);
    connect(timer_, &QTimer::timeout, this, [this] { Update(); });
}

void FitReadoutView::Show(bool shown, const QRect &above) {
    shown_ = shown;
    below_ = above;
    if (!shown) {
        timer_->stop();
        for (QLabel *l : labels_)
            l->hide();
        return;
    }
    fitted_ = ~uint64_t(0); // the look may have changed: fit again
    placedLines_ = 0;       // and the place
    Update();
    timer_->start();
}

void FitReadoutView::Update() {
    if (!shown_) return;
    const kpd::LissajousPlot::DrawnEnd drawn = plot_.LastDrawn();
    if (drawn.serial == fitted_) return;
    fitted_ = drawn.serial;
    lines_ = kpd::ReadoutLines(plot_.FitDrawn(), kpd::ToleranceFor(look_()));
    for (std::size_t i = 0; i < labels_.size(); ++i) {
        QLabel *l = labels_[i];
        if (i >= lines_.size()) {
            l->hide();
            continue;
        }
        // Only what changed repaints.
        const QString text = QString::fromStdString(lines_[i].text);
        if (l->text() != text) l->setText(text);
        const QColor colour(QRgb(lines_[i].rgb));
        if (l->palette().color(QPalette::WindowText) != colour) {
            QPalette p = l->palette();
            p.setColor(QPalette::WindowText, colour);
            l->setPalette(p);
        }
    }
    // The places change with the number of lines and with the reason of a missing fit (it may wrap).
    if (lines_.size() != placedLines_ || lines_.size() == 2) Place();
}

void FitReadoutView::Place() {
    // A line each (a wrapped reason more); the whole readout stays inside the window, moving up
    // towards the buttons when the window is short.
    const int x = below_.left();
    const int width = std::max(below_.width(), 60);
    std::vector<int> heights;
    int total = 0;
    for (std::size_t i = 0; i < lines_.size() && i < labels_.size(); ++i) {
        const int h = std::max(labels_[i]->heightForWidth(width), labels_[i]->fontMetrics().height());
        heights.push_back(h);
        total += h;
    }
    int y = below_.bottom() + 1 + GapBelow;
    y = std::max(std::min(y, window_.height() - 4 - total), below_.bottom() + 4);
    for (std::size_t i = 0; i < heights.size(); ++i) {
        labels_[i]->setGeometry(x, y, width, heights[i]);
        labels_[i]->show();
        y += heights[i];
    }
    placedLines_ = lines_.size();
}
