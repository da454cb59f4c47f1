#include "windows/TEngineeringDisplay.h"

#include "widgets/ScreenInfo.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>

namespace {

using kpd::readall::SlotCount;

struct SlotDesign {
    const char *box;
    const char *caption; // a second line after '\n'
};

constexpr std::array<SlotDesign, SlotCount> kSlots{{
    {"genreg0box", "GenReg 0 Addr 00"},
    {"genreg1box", "Gen Reg 1 Addr 02"},
    {"gainbox", "Gain  Addr 04"},
    {"xoffsetbox", "X Offset Addr 06"},
    {"yoffsetbox", "Y Offset Addr 08"},
    {"phasebox", "Phase Addr 0A"},
    {"indexanglebox", "Index Angle Addr 0C"},
    {"wtrimbox", "WTRIM Addr 0E"},
    {"xtrimbox", "XTRIM Addr 10"},
    {"ytrimbox", "YTRIM Addr 12"},
    {"ztrimbox", "ZTRIM Addr 14"},
    {"indexvcsellimbox", "Index TrSum Target\nAddr 16"},
    {"mainvcsellimbox", "Main VCSEL Limit\nAddr 18"},
    {"indexvcselbox", "Index VCSEL Static\nAddr 1A"},
    {"mainvcselbox", "Main VCSEL Static\nAddr 1C"},
    {"interpbox", "Interp Depth Addr 1E"},
    {"mainvcselupbox", "Main VCSEL Upper\nAddr 22"},
    {"mainvcsellowbox", "Main VCSEL Lower\nAddr 24"},
    {"firmverbox", "Firm Version Addr 30"},
    {"xadbox", "xAD Addr 32"},
    {"yadbox", "yAD Addr 34"},
    {"xadadjbox", "xAD Adj Addr 36"},
    {"yadadjbox", "yAD Adj Addr 38"},
    {"tr3sumabox", "TR3SumA Addr 3A"},
    {"tr3sumbbox", "TR3SumB Addr 3C"},
    {"magnitudebox", "Magnitude Addr 3E"},
    {"pos64box", "Position 64 Addr 40"},
    {"statusbox", "Status Addr 42"},
    {"maindrivebox", "Main Drive Addr 44"},
    {"indexdrivebox", "Index Drive Addr 46"},
    {"indexposedgebox", "Index Pos Edge Addr 48"},
    {"indexnegedgebox", "Index Neg Edge Addr 4A"},
    {"positionbox", "Position Addr 4C"},
    {"fringecntbox", "Fringe Count Addr 4E"},
    {"spare1box", "Spare 1 Addr 50"},
    {"indexwidthbox", "Index Width Addr 90"},
    {"sensortypebox", "Sensor Type Addr 91"},
    {"atstatusbox", "AT Status Addr 92"},
    {"indexlowlimbox", "Index Low Limit Addr 93"},
    {"mspversionbox", "MSP Version"},
    {"powerontimebox", "Power On Time"},
    {"poweroncyclesbox", "Power On Cycles"},
}};

// The data registers (slots 0 to 34) and the alignment tool's parameters (35 to 41).
constexpr int kDataSlots = 35;

// Placement in the panel: three columns of slots, filled column by column in address order. The data
// registers take twelve rows; of the alignment tool's parameters the four registers take the first two
// columns and the three processor values the third.
constexpr int kMargin = 16;
constexpr int kColumnWidth = 262;
constexpr int kRowHeight = 34;
constexpr int kDataRows = 12;
constexpr int kParameterRows = 3;
constexpr int kBoxHeight = 22;
constexpr int kDataTop = 40;
constexpr int kParameterHeadingTop = kDataTop + kDataRows * kRowHeight + 10;
constexpr int kParameterTop = kParameterHeadingTop + 28;
constexpr int kWriteTop = kParameterTop + kParameterRows * kRowHeight + 14;
constexpr int kFirstProcessorSlot = 39;
// The grid (its last column without the gap after it) centred in the panel.
constexpr int kGridLeft = (816 - (3 * kColumnWidth - 34)) / 2;

const char *const kBackground = "#004080";

int BoxWidth(int slot) {
    return kpd::readall::Slots()[static_cast<std::size_t>(slot)].digits > 4 ? 84 : 58;
}

// Column and row of a slot in its section.
QPoint CellOf(int slot) {
    if (slot < kDataSlots) return {slot / kDataRows, slot % kDataRows};
    if (slot < kFirstProcessorSlot) {
        const int i = slot - kDataSlots;
        return {i / 2, i % 2};
    }
    return {2, slot - kFirstProcessorSlot};
}

} // namespace

const char *TEngineeringDisplay::BoxName(int slot) {
    if (slot < 0 || slot >= SlotCount) return "";
    return kSlots[static_cast<std::size_t>(slot)].box;
}

QString TEngineeringDisplay::Caption(int slot) {
    if (slot < 0 || slot >= SlotCount) return {};
    return QString::fromLatin1(kSlots[static_cast<std::size_t>(slot)].caption);
}

TEngineeringDisplay::TEngineeringDisplay(QWidget *parent) : QDialog(parent) {
    setObjectName("EngineeringDisplay");
    setWindowTitle("Engineering Display");
    // Only the system menu (with its close button) among the border icons; always on top.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    setSizeGripEnabled(false);

    QFont font("Arial");
    font.setPixelSize(12);
    setFont(font);
    QFont heading = font;
    heading.setPixelSize(14);
    heading.setBold(true);
    QFont hex = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    hex.setPixelSize(13);

    scroll_ = new QScrollArea(this);
    scroll_->setObjectName("PanelScroll");
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setWidgetResizable(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_);

    Panel = new QWidget;
    Panel->setObjectName("Panel");
    Panel->setFixedSize(DesignedWidth, DesignedHeight);
    Panel->setAutoFillBackground(true);
    QPalette pal = Panel->palette();
    pal.setColor(QPalette::Window, QColor(kBackground));
    pal.setColor(QPalette::WindowText, Qt::white);
    Panel->setPalette(pal);
    scroll_->setWidget(Panel);
    scroll_->setStyleSheet(QString("QScrollArea { background: %1; }").arg(kBackground));

    auto label = [&](const char *name, const QString &text, const QRect &r, Qt::Alignment align,
                     const QFont &f) {
        auto *l = new QLabel(text, Panel);
        l->setObjectName(name);
        l->setFont(f);
        l->setGeometry(r);
        l->setAlignment(align);
        return l;
    };

    DataHeading = label("DataHeading", "Data Register Values in Hex:",
                        QRect(kMargin, 12, DesignedWidth - 2 * kMargin, 20), Qt::AlignLeft | Qt::AlignVCenter,
                        heading);
    ParameterHeading =
        label("ParameterHeading", "Alignment Tool Parameters Values in Hex:",
              QRect(kMargin, kParameterHeadingTop, DesignedWidth - 2 * kMargin, 20),
              Qt::AlignLeft | Qt::AlignVCenter, heading);

    for (int slot = 0; slot < SlotCount; ++slot) {
        const QPoint cell = CellOf(slot);
        const int x = kGridLeft + cell.x() * kColumnWidth;
        const int y = (slot < kDataSlots ? kDataTop : kParameterTop) + cell.y() * kRowHeight;
        const int boxWidth = BoxWidth(slot);
        const int labelWidth = kColumnWidth - boxWidth - 40;
        label(qPrintable(QString(BoxName(slot)) + "Label"), Caption(slot), QRect(x, y - 4, labelWidth, 30),
              Qt::AlignRight | Qt::AlignVCenter, font);
        auto *box = new QLineEdit(Panel);
        box->setObjectName(BoxName(slot));
        box->setFont(hex);
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::ClickFocus);
        box->setAlignment(Qt::AlignCenter);
        box->setGeometry(x + labelWidth + 6, y, boxWidth, kBoxHeight);
        boxes_[static_cast<std::size_t>(slot)] = box;
    }

    WriteLabel = label("WriteLabel", "Enter 8 digit Hex number representing Address and Data to write",
                       QRect(kMargin, kWriteTop, 440, 20), Qt::AlignLeft | Qt::AlignVCenter, font);
    writedatabox = new QLineEdit(Panel);
    writedatabox->setObjectName("writedatabox");
    writedatabox->setFont(hex);
    writedatabox->setGeometry(kMargin, kWriteTop + 26, 120, 26);
    writedatabutton = new QPushButton("Write ", Panel);
    writedatabutton->setObjectName("writedatabutton");
    writedatabutton->setGeometry(kMargin + 132, kWriteTop + 25, 90, 28);
    writedatabutton->setEnabled(false);

    enablemainagcbutton = new QPushButton("Main Track AGC Enable", Panel);
    enablemainagcbutton->setObjectName("enablemainagcbutton");
    enablemainagcbutton->setGeometry(DesignedWidth - kMargin - 2 * 180 - 12, kWriteTop + 25, 180, 28);
    disablemainagcbutton = new QPushButton("Main Track AGC Disable", Panel);
    disablemainagcbutton->setObjectName("disablemainagcbutton");
    disablemainagcbutton->setGeometry(DesignedWidth - kMargin - 180, kWriteTop + 25, 180, 28);

    CloseText = label("CloseText", "Close This Window to Return to Previous Display",
                      QRect(kMargin, DesignedHeight - 44, DesignedWidth - 2 * kMargin, 24), Qt::AlignCenter,
                      heading);

    // Return in the write box must not press a button: writes happen only on a click of Write.
    for (QPushButton *b : {writedatabutton, enablemainagcbutton, disablemainagcbutton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(writedatabutton, &QPushButton::clicked, this, [this] { emit WriteRequested(writedatabox->text()); });
    connect(enablemainagcbutton, &QPushButton::clicked, this, [this] { emit MainAgcRequested(true); });
    connect(disablemainagcbutton, &QPushButton::clicked, this, [this] { emit MainAgcRequested(false); });

    resize(DesignedWidth, DesignedHeight);
}

void TEngineeringDisplay::ShowValues(const std::array<std::string, SlotCount> &texts) {
    for (int slot = 0; slot < SlotCount; ++slot) {
        const QString text = QString::fromStdString(texts[static_cast<std::size_t>(slot)]);
        QLineEdit *box = boxes_[static_cast<std::size_t>(slot)];
        if (box->text() != text) box->setText(text);
    }
}

void TEngineeringDisplay::SetWriteEnabled(bool enabled) {
    writedatabutton->setEnabled(enabled);
}

bool TEngineeringDisplay::WriteEnabled() const {
    return writedatabutton->isEnabled();
}

void TEngineeringDisplay::showEvent(QShowEvent *event) {
    PlaceOnScreen();
    QDialog::showEvent(event);
    writedatabox->setFocus();
}

void TEngineeringDisplay::PlaceOnScreen() {
    const platform::ScreenMetrics screen = platform::CurrentScreen();
    // Room for the title bar above the client area.
    constexpr int kTitleBar = 32;
    const int width = std::min(DesignedWidth, screen.width);
    const int height = std::min(DesignedHeight, std::max(200, screen.height - kTitleBar));
    resize(width, height);
    move(std::max(0, (screen.width - width) / 2), std::max(0, (screen.height - height - kTitleBar) / 2));
}

void TEngineeringDisplay::done(int result) {
    const bool wasVisible = isVisible();
    QDialog::done(result);
    if (wasVisible) emit Closed();
}
