#include "windows/TAlarmHistoryForm.h"

#include "session/StatusController.h"
#include "widgets/ScreenInfo.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QTextDocument>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kMargin = 8;
constexpr int kButtonWidth = 100;
constexpr int kButtonHeight = 25;
// Characters of the position column (the alarm line pads the position to this width).
constexpr int kPositionChars = 18;
// The longest date and time an alarm line carries.
constexpr const char *kWidestTime = "   September 30, 2024  at  23:59:59";

} // namespace

TAlarmHistoryForm::TAlarmHistoryForm(QWidget *parent) : QDialog(parent) {
    setObjectName("AlarmHistoryForm");
    setWindowTitle("Alarm History Log...");
    // A fixed dialog frame without title-bar buttons, always on top; never modal.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setModal(false);
    QFont f("Arial");
    f.setPixelSize(11);
    setFont(f);

    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setTextFormat(Qt::PlainText);
    Label1->setText(kColumnHeader);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    AlarmHistoryMemo = new QPlainTextEdit(this);
    AlarmHistoryMemo->setObjectName("AlarmHistoryMemo");
    AlarmHistoryMemo->setReadOnly(true);
    AlarmHistoryMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    AlarmHistoryMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    AlarmHistoryMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // Fixed pitch: the positions are right-aligned with spaces.
    QFont memoFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    memoFont.setPixelSize(11);
    AlarmHistoryMemo->setFont(memoFont);

    auto makeButton = [this](const char *name, const char *caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        return b;
    };
    RefreshButton = makeButton("RefreshButton", "Refresh");
    ClearHistoryButton = makeButton("ClearHistoryButton", "Clear History ");
    SaveButton = makeButton("SaveButton", "Save to File");
    Close = makeButton("Close", "Close");
    Close->setDefault(true);
    connect(RefreshButton, &QPushButton::clicked, this, [this] { RefreshButtonClick(); });
    connect(ClearHistoryButton, &QPushButton::clicked, this, [this] { ClearHistoryButtonClick(); });
    connect(SaveButton, &QPushButton::clicked, this, [this] { SaveButtonClick(); });
    connect(Close, &QPushButton::clicked, this, [this] { CloseClick(); });

    ArrangeColumns();
}

TAlarmHistoryForm::~TAlarmHistoryForm() = default;

void TAlarmHistoryForm::Attach(kpd::StatusController &status) {
    if (!log_ || &log_->Status() != &status) log_ = std::make_unique<kpd::AlarmHistoryLog>(status);
}

void TAlarmHistoryForm::ArrangeColumns() {
    const QFontMetricsF header(Label1->font());
    const QFontMetricsF memo(AlarmHistoryMemo->font());
    const QString text = QString::fromLatin1(kColumnHeader);
    const qreal c = memo.horizontalAdvance(QLatin1Char(' '));
    const qreal frame = AlarmHistoryMemo->frameWidth();
    const qreal docMargin = AlarmHistoryMemo->document()->documentMargin();
    // Header x of a word, relative to where the memo's text starts (both begin at kMargin).
    const qreal origin = frame + docMargin;
    auto startOf = [&](const char *word) {
        return header.horizontalAdvance(text.left(int(text.indexOf(QLatin1String(word))))) - origin;
    };
    auto endOf = [&](const char *word) {
        return startOf(word) + header.horizontalAdvance(QLatin1String(word));
    };

    // Alarm type under "Alarm Type"; the position column ends under the end of "Location"; the units
    // follow; the time is centred under "Time". An alarm line puts one tab after a long unit name
    // ("nanometers", "microinches") and two after a short one, so the stop after the units lies between the
    // end of "microns" and the end of the long names.
    const qreal kind = std::max(c, startOf("Alarm Type"));
    const qreal position =
        std::max(kind + memo.horizontalAdvance("Over Signal ") + c, endOf("Location") - kPositionChars * c);
    const qreal units = position + (kPositionChars + 2) * c;
    const qreal shortUnits = memo.horizontalAdvance("microns");
    const qreal longUnits =
        std::min(memo.horizontalAdvance("nanometers"), memo.horizontalAdvance("microinches"));
    const qreal afterShortUnits = units + (shortUnits + longUnits) / 2;
    const qreal widestUnits =
        std::max(memo.horizontalAdvance("nanometers"), memo.horizontalAdvance("microinches"));
    const qreal timeWidth = memo.horizontalAdvance(QLatin1String(kWidestTime));
    const qreal timeCentre = (startOf("Time") + endOf("Time")) / 2;
    const qreal time = std::max(units + widestUnits + c, timeCentre - timeWidth / 2);

    QTextOption option = AlarmHistoryMemo->document()->defaultTextOption();
    QList<QTextOption::Tab> tabs;
    for (qreal stop : {kind, position, units, afterShortUnits, time})
        tabs.append(QTextOption::Tab(stop, QTextOption::LeftTab));
    option.setTabs(tabs);
    option.setWrapMode(QTextOption::NoWrap);
    AlarmHistoryMemo->document()->setDefaultTextOption(option);

    // The memo fits the widest line and the scroll bar; the header fits above it.
    const int scroll = AlarmHistoryMemo->verticalScrollBar()->sizeHint().width();
    const int memoWidth = int(std::ceil(time + timeWidth + c + 2 * origin)) + scroll;
    const int headerWidth = int(std::ceil(header.horizontalAdvance(text)));
    const int width = std::max({memoWidth, headerWidth, 4 * kButtonWidth + 3 * kMargin}) + 2 * kMargin;
    const int headerHeight = int(std::ceil(header.height())) + 4;
    const int memoHeight = int(std::ceil(memo.lineSpacing())) * 16 + 2 * int(std::ceil(origin)) + 4;
    Label1->setGeometry(kMargin, kMargin, width - 2 * kMargin, headerHeight);
    AlarmHistoryMemo->setGeometry(kMargin, kMargin + headerHeight, width - 2 * kMargin, memoHeight);
    const int buttonsTop = kMargin + headerHeight + memoHeight + 2 * kMargin;
    // Refresh, Clear History and Save to File from the left, Close on the right.
    int x = kMargin;
    for (QPushButton *b : {RefreshButton, ClearHistoryButton, SaveButton}) {
        b->setGeometry(x, buttonsTop, kButtonWidth, kButtonHeight);
        x += kButtonWidth + kMargin;
    }
    Close->setGeometry(width - kMargin - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight);
    setFixedSize(width, buttonsTop + kButtonHeight + 2 * kMargin);
}

void TAlarmHistoryForm::PlaceOnScreen() {
    const platform::ScreenMetrics screen = platform::CurrentScreen();
    move(std::max(0, (screen.width - width()) / 2), std::max(0, (screen.height - height()) / 2));
}

void TAlarmHistoryForm::showEvent(QShowEvent *event) {
    if (!event->spontaneous()) {
        PlaceOnScreen();
        RefreshButtonClick();
    }
    QDialog::showEvent(event);
    Close->setFocus();
}

void TAlarmHistoryForm::ShowLines() {
    QStringList lines;
    if (log_)
        for (const std::string &line : log_->Lines())
            lines << QString::fromStdString(line);
    AlarmHistoryMemo->setPlainText(lines.join(QLatin1Char('\n')));
}

void TAlarmHistoryForm::RefreshButtonClick() {
    if (log_) log_->Refresh();
    ShowLines();
}

void TAlarmHistoryForm::ClearHistoryButtonClick() {
    if (log_) log_->ClearHistory();
    ShowLines();
}

void TAlarmHistoryForm::SaveButtonClick() {
    if (log_) log_->Save();
}

void TAlarmHistoryForm::CloseClick() {
    hide();
}

QStringList TAlarmHistoryForm::MemoLines() const {
    const QString text = AlarmHistoryMemo->toPlainText();
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}
