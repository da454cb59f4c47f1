#include "windows/TEngineeringDisplay.h"

#include "widgets/ScreenInfo.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

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

// The grid of slots: three columns, filled column by column in address order. The data registers take
// twelve rows; of the alignment tool's parameters the four registers take the first two columns and the
// three processor values the third.
constexpr int kColumns = 3;
constexpr int kDataRows = 12;
constexpr int kParameterRows = 3;
constexpr int kFirstProcessorSlot = 39;

const char *const kBackground = "#004080";

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

// One placement table: the window's client size, the fonts and the grid.
struct TEngineeringDisplay::Placement {
    int width;
    int height;
    int margin;     // left and right margin of headings, write area and buttons
    int fontPx;     // captions and the write label
    int headingPx;  // headings and the closing text
    int hexPx;      // the boxes
    int headingTop; // first heading
    int headingHeight;
    int dataTop; // first row of data registers
    int rowHeight;
    int columnWidth;
    int columnGap; // free space after a column's box
    int boxHeight;
    int boxWidth4;  // a four-digit box
    int boxWidth8;  // an eight-digit box
    int sectionGap; // before the second heading and before the write area
    int buttonHeight;
};

namespace {

// Designed for screens of 1024 x 768 and more.
constexpr TEngineeringDisplay::Placement kDesigned{.width = TEngineeringDisplay::DesignedWidth,
                                                   .height = TEngineeringDisplay::DesignedHeight,
                                                   .margin = 16,
                                                   .fontPx = 12,
                                                   .headingPx = 14,
                                                   .hexPx = 13,
                                                   .headingTop = 12,
                                                   .headingHeight = 20,
                                                   .dataTop = 40,
                                                   .rowHeight = 34,
                                                   .columnWidth = 262,
                                                   .columnGap = 34,
                                                   .boxHeight = 22,
                                                   .boxWidth4 = 58,
                                                   .boxWidth8 = 84,
                                                   .sectionGap = 12,
                                                   .buttonHeight = 28};
// Screens too small for the designed size (below 768 pixels high: the main window's small layout class).
constexpr TEngineeringDisplay::Placement kCompact{.width = TEngineeringDisplay::CompactWidth,
                                                  .height = TEngineeringDisplay::CompactHeight,
                                                  .margin = 12,
                                                  .fontPx = 11,
                                                  .headingPx = 13,
                                                  .hexPx = 12,
                                                  .headingTop = 6,
                                                  .headingHeight = 18,
                                                  .dataTop = 28,
                                                  .rowHeight = 26,
                                                  .columnWidth = 256,
                                                  .columnGap = 30,
                                                  .boxHeight = 20,
                                                  .boxWidth4 = 52,
                                                  .boxWidth8 = 78,
                                                  .sectionGap = 6,
                                                  .buttonHeight = 24};

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

    Panel = new QWidget(this);
    Panel->setObjectName("Panel");
    Panel->setAutoFillBackground(true);
    QPalette pal = Panel->palette();
    pal.setColor(QPalette::Window, QColor(kBackground));
    pal.setColor(QPalette::WindowText, Qt::white);
    Panel->setPalette(pal);

    auto label = [&](const char *name, const QString &text, Qt::Alignment align) {
        auto *l = new QLabel(text, Panel);
        l->setObjectName(name);
        l->setAlignment(align);
        return l;
    };
    DataHeading = label("DataHeading", "Data Register Values in Hex:", Qt::AlignLeft | Qt::AlignVCenter);
    ParameterHeading = label("ParameterHeading",
                             "Alignment Tool Parameters Values in Hex:", Qt::AlignLeft | Qt::AlignVCenter);
    for (int slot = 0; slot < SlotCount; ++slot) {
        captions_[static_cast<std::size_t>(slot)] = label(qPrintable(QString(BoxName(slot)) + "Label"),
                                                          Caption(slot), Qt::AlignRight | Qt::AlignVCenter);
        auto *box = new QLineEdit(Panel);
        box->setObjectName(BoxName(slot));
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::ClickFocus);
        box->setAlignment(Qt::AlignCenter);
        boxes_[static_cast<std::size_t>(slot)] = box;
    }
    WriteLabel = label("WriteLabel", "Enter 8 digit Hex number representing Address and Data to write",
                       Qt::AlignLeft | Qt::AlignVCenter);
    writedatabox = new QLineEdit(Panel);
    writedatabox->setObjectName("writedatabox");
    writedatabutton = new QPushButton("Write ", Panel);
    writedatabutton->setObjectName("writedatabutton");
    writedatabutton->setEnabled(false);
    enablemainagcbutton = new QPushButton("Main Track AGC Enable", Panel);
    enablemainagcbutton->setObjectName("enablemainagcbutton");
    disablemainagcbutton = new QPushButton("Main Track AGC Disable", Panel);
    disablemainagcbutton->setObjectName("disablemainagcbutton");
    CloseText = label("CloseText", "Close This Window to Return to Previous Display", Qt::AlignCenter);

    // Return in the write box must not press a button: writes happen only on a click of Write.
    for (QPushButton *b : {writedatabutton, enablemainagcbutton, disablemainagcbutton}) {
        b->setAutoDefault(false);
        b->setDefault(false);
    }
    connect(writedatabutton, &QPushButton::clicked, this,
            [this] { emit WriteRequested(writedatabox->text()); });
    connect(enablemainagcbutton, &QPushButton::clicked, this, [this] { emit MainAgcRequested(true); });
    connect(disablemainagcbutton, &QPushButton::clicked, this, [this] { emit MainAgcRequested(false); });

    Place(kDesigned);
}

void TEngineeringDisplay::Place(const Placement &p) {
    QFont font("Arial");
    font.setPixelSize(p.fontPx);
    QFont heading = font;
    heading.setPixelSize(p.headingPx);
    heading.setBold(true);
    QFont hex = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    hex.setPixelSize(p.hexPx);

    setFixedSize(p.width, p.height);
    Panel->setGeometry(0, 0, p.width, p.height);
    const int inner = p.width - 2 * p.margin;
    const int gridLeft = (p.width - (kColumns * p.columnWidth - p.columnGap)) / 2;
    const int parameterHeadingTop = p.dataTop + kDataRows * p.rowHeight + p.sectionGap;
    const int parameterTop =
        parameterHeadingTop + p.headingHeight + (p.dataTop - p.headingTop - p.headingHeight);
    const int writeTop = parameterTop + kParameterRows * p.rowHeight + p.sectionGap;

    DataHeading->setFont(heading);
    DataHeading->setGeometry(p.margin, p.headingTop, inner, p.headingHeight);
    ParameterHeading->setFont(heading);
    ParameterHeading->setGeometry(p.margin, parameterHeadingTop, inner, p.headingHeight);

    for (int slot = 0; slot < SlotCount; ++slot) {
        const QPoint cell = CellOf(slot);
        const int x = gridLeft + cell.x() * p.columnWidth;
        const int y = (slot < kDataSlots ? p.dataTop : parameterTop) + cell.y() * p.rowHeight;
        const int boxWidth =
            kpd::readall::Slots()[static_cast<std::size_t>(slot)].digits > 4 ? p.boxWidth8 : p.boxWidth4;
        const int labelWidth = p.columnWidth - p.columnGap - boxWidth - 6;
        QLabel *caption = captions_[static_cast<std::size_t>(slot)];
        caption->setFont(font);
        // Two caption lines may take the whole row.
        caption->setGeometry(x, y + p.boxHeight / 2 - p.rowHeight / 2, labelWidth, p.rowHeight);
        QLineEdit *box = boxes_[static_cast<std::size_t>(slot)];
        box->setFont(hex);
        box->setGeometry(x + labelWidth + 6, y, boxWidth, p.boxHeight);
    }

    WriteLabel->setFont(font);
    WriteLabel->setGeometry(p.margin, writeTop, 440, p.headingHeight);
    const int controlsTop = writeTop + p.headingHeight + 6;
    writedatabox->setFont(hex);
    writedatabox->setGeometry(p.margin, controlsTop + 1, 120, p.buttonHeight - 2);
    writedatabutton->setFont(font);
    writedatabutton->setGeometry(p.margin + 132, controlsTop, 90, p.buttonHeight);
    enablemainagcbutton->setFont(font);
    enablemainagcbutton->setGeometry(p.width - p.margin - 2 * 180 - 12, controlsTop, 180, p.buttonHeight);
    disablemainagcbutton->setFont(font);
    disablemainagcbutton->setGeometry(p.width - p.margin - 180, controlsTop, 180, p.buttonHeight);
    CloseText->setFont(heading);
    CloseText->setGeometry(p.margin, p.height - p.headingHeight - 2 * p.margin + 4, inner,
                           p.headingHeight + 4);
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
    const bool fits = screen.width >= DesignedWidth && screen.height >= DesignedHeight + kTitleBar;
    Place(fits ? kDesigned : kCompact);
    move(std::max(0, (screen.width - width()) / 2), std::max(0, (screen.height - height() - kTitleBar) / 2));
}

void TEngineeringDisplay::done(int result) {
    const bool wasVisible = isVisible();
    QDialog::done(result);
    if (wasVisible) emit Closed();
}
