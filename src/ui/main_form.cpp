#include "ui/main_form.h"

#include <QApplication>
#include <QChartView>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyle>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "link/port_names.h"
#include "params/edit_conversion.h"
#include "station/app_error.h"
#include "station/connection.h"
#include "station/handlers.h"
#include "ui/ok_bottom_dlg.h"
#include "ui/profile_charts.h"
#include "ui/qt_window.h"
#include "ui/scanner_thread.h"

namespace qd718 {

namespace {

const QColor Navy(0x00, 0x00, 0x80);
const QColor Green(0x00, 0x80, 0x00);

// The parameter rows' captions are padded to one width so that their colons line up.
constexpr int PaddedCaptionWidth = 29;
constexpr int ParamEditWidth = 110;
constexpr int ResultEditWidth = 90;
constexpr int ButtonWidth = 170;
constexpr int Panel2Width = 250;
constexpr int GaugeHeight = 22;
// While a scanner handler runs, what it drew is shown at least this often.
constexpr int RedrawTickMs = 100;

// The controls that start a scanner handler, or whose change feeds one. They are held
// disabled while a handler of the scanner thread runs, so two exchanges never overlap.
constexpr Ctl GuardedControls[] = {
    Ctl::ComboBox1,   Ctl::ConnBtn,      Ctl::DisconnBtn,    Ctl::ConnectBtn,    Ctl::ReadBtn,
    Ctl::WriteBtn,    Ctl::RestoreBtn,   Ctl::WriteFlashBtn, Ctl::BitBtn3,       Ctl::Button6,
    Ctl::cxButton5,   Ctl::cxButton2,    Ctl::cxButton3,     Ctl::cxButton4,     Ctl::cxButton1,
    Ctl::cxButton8,   Ctl::EtalComboBox, Ctl::BeginPosEdit,  Ctl::BeginPosEdit2, Ctl::EndPosEdit,
    Ctl::EndPosEdit2, Ctl::TimeMEdit,    Ctl::TimeMEdit1,    Ctl::TimeMEdit2,    Ctl::TimeMEdit21,
    Ctl::DiskrEdit,   Ctl::DiskrEdit2,   Ctl::AngleEdit,     Ctl::AngleEdit2,    Ctl::XBegEdit,
    Ctl::XBegEdit2,   Ctl::YBegEdit,     Ctl::YBegEdit2,     Ctl::CyclEdit,      Ctl::CyclEdit2,
};

bool IsGuarded(Ctl control) {
  for (Ctl guarded : GuardedControls) {
    if (guarded == control) return true;
  }
  return false;
}

// The button handlers that run on the scanner thread.
struct ButtonWiring {
  Ctl button;
  TMainForm::Handler handler;
};

const ButtonWiring ScannerButtons[] = {
    {Ctl::ConnBtn, ConnBtnClick},
    {Ctl::DisconnBtn, DisconnBtnClick},
    {Ctl::ConnectBtn, ConnectBtnClick},
    {Ctl::ReadBtn, ReadBtnClick},
    {Ctl::WriteBtn, WriteBtnClick},
    {Ctl::RestoreBtn, RestoreBtnClick},
    {Ctl::WriteFlashBtn, WriteFlashBtnClick},
    {Ctl::BitBtn3, BitBtn3Click},
    {Ctl::Button6, Button1Click},  // "Measurement" runs the handler named after Button1
    {Ctl::cxButton5, cxButton5Click},
    {Ctl::cxButton2, cxButton2Click},
    {Ctl::cxButton3, cxButton3Click},
    {Ctl::cxButton4, cxButton4Click},
    {Ctl::cxButton1, cxButton7Click},  // "Calculate" runs the handler named after cxButton7
    {Ctl::cxButton8, cxButton8Click},
};

QString Padded(const char* caption) {
  return QString::fromUtf8(caption).leftJustified(PaddedCaptionWidth, QLatin1Char(' ')) +
         QStringLiteral(":");
}

void Colour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

void Bold(QWidget* widget) {
  QFont font = widget->font();
  font.setBold(true);
  widget->setFont(font);
}

void Monospace(QWidget* widget) {
  QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  font.setBold(widget->font().bold());
  widget->setFont(font);
}

}  // namespace

template <typename T>
T* TMainForm::Make(Ctl control, QWidget* parent) {
  auto* widget = new T(parent);
  Register(control, widget);
  return widget;
}

void TMainForm::Register(Ctl control, QWidget* widget) {
  widget->setObjectName(QString::fromLatin1(ControlName(control)));
  controls_[static_cast<int>(control)] = widget;
  enabled_[static_cast<int>(control)] = true;
}

TMainForm::TMainForm(Link* link, QWidget* parent)
    : QWidget(parent,
              // No maximize box until the handshake has read both channels.
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                  Qt::WindowCloseButtonHint),
      scanner_(std::make_unique<ScannerThread>(link)),
      station_(std::make_unique<Station>(scanner_->GetLink())) {
  setObjectName(QStringLiteral("MainForm"));
  window_ = std::make_unique<QtWindow>(*this);
  station_->programFolder = QCoreApplication::applicationDirPath().toStdString();
  scanner_->SetErrorDisplay([this](const std::string& message) { ShowApplicationError(message); });

  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);

  auto* panel8 = Make<QFrame>(Ctl::Panel8, this);
  BuildTopPanel(panel8);
  outer->addWidget(panel8);

  auto* pages = Make<QTabWidget>(Ctl::PageControl1, this);
  pages->setTabPosition(QTabWidget::South);
  auto* tab1 = Make<QWidget>(Ctl::TabSheet1, pages);
  auto* tab2 = Make<QWidget>(Ctl::TabSheet2, pages);
  BuildParametersPage(tab1);
  BuildProfilePage(tab2);
  pages->addTab(tab1, QStringLiteral("Parameters"));
  pages->addTab(tab2, QStringLiteral("Profile"));
  pages->setCurrentIndex(0);
  outer->addWidget(pages, 1);

  auto* bottom = new QHBoxLayout;
  bottom->setContentsMargins(2, 2, 2, 2);
  CGauge1 = Make<QProgressBar>(Ctl::CGauge1, this);
  CGauge1->setRange(0, InitialGaugeMax);
  CGauge1->setValue(0);
  CGauge1->setTextVisible(true);
  CGauge1->setFormat(QStringLiteral("%p%"));
  CGauge1->setAlignment(Qt::AlignCenter);
  CGauge1->setFixedHeight(GaugeHeight);
  StopBtn = new QPushButton(QStringLiteral("Stop"), this);
  StopBtn->setObjectName(QString::fromLatin1(StopButtonName));
  StopBtn->setToolTip(QStringLiteral("Stops the running exchange with the scanner"));
  StopBtn->setEnabled(false);
  StopBtn->setFixedHeight(GaugeHeight);
  bottom->addWidget(CGauge1, 1);
  bottom->addWidget(StopBtn);
  outer->addLayout(bottom);

  okBottomDlg_ = new TOKBottomDlg(this);
  redrawTick_ = new QTimer(this);
  redrawTick_->setInterval(RedrawTickMs);
  connect(redrawTick_, &QTimer::timeout, this, [this] { window_->Flush(); });

  WireEvents();
  setWindowTitle(QString::fromStdString(ApplicationTitleText));
  resize(MainFormSize);
  FormCreate(*station_, *window_);
}

TMainForm::~TMainForm() {
  // A handler may be waiting for this window right now: stop it and let it end before the
  // controls go.
  if (Busy()) {
    window_->SetClosing();
    scanner_->Cancel();
    while (Busy()) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  }
  scanner_.reset();
}

void TMainForm::BuildTopPanel(QWidget* panel) {
  auto* frame = static_cast<QFrame*>(panel);
  frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
  auto* row = new QHBoxLayout(panel);

  auto* identity = new QGridLayout;
  identity->setHorizontalSpacing(8);
  const struct {
    Ctl heading;
    const char* caption;
    Ctl value;
  } identityRows[] = {
      {Ctl::Label35, "Device type            :", Ctl::TipLbl},
      {Ctl::Label36, "Device modification    :", Ctl::ModifLbl},
      {Ctl::Label37, "Serial number          :", Ctl::SerLbl},
      {Ctl::Label38, "Measuring range        :", Ctl::DiapazLbl},
  };
  int r = 0;
  for (const auto& entry : identityRows) {
    auto* heading = Make<QLabel>(entry.heading, panel);
    heading->setText(QString::fromLatin1(entry.caption));
    Monospace(heading);
    auto* value = Make<QLabel>(entry.value, panel);
    value->setText(QStringLiteral("non"));
    value->setMinimumWidth(80);
    Colour(value, Navy);
    Bold(value);
    identity->addWidget(heading, r, 0);
    identity->addWidget(value, r, 1);
    ++r;
  }
  row->addLayout(identity);
  row->addSpacing(40);

  auto* port = new QHBoxLayout;
  auto* label43 = Make<QLabel>(Ctl::Label43, panel);
  label43->setText(QStringLiteral("Number COM "));
  auto* combo = Make<QComboBox>(Ctl::ComboBox1, panel);
  combo->setEditable(true);
  combo->setInsertPolicy(QComboBox::NoInsert);
  combo->setCompleter(nullptr);  // the text typed is the text the port choice sees
  combo->addItems({"COM1", "COM2", "COM3", "COM4", "More COM"});
  combo->setCurrentIndex(0);
  combo->setMinimumWidth(120);

  // ConnBtn lies over DisconnBtn in one place; exactly one of them is seen.
  auto* connection = new QWidget(panel);
  auto* stack = new QGridLayout(connection);
  stack->setContentsMargins(0, 0, 0, 0);
  auto* disconn = Make<QPushButton>(Ctl::DisconnBtn, connection);
  disconn->setText(QStringLiteral("DisconnBtn"));
  disconn->setIcon(style()->standardIcon(QStyle::SP_DialogCloseButton));
  disconn->setVisible(false);
  auto* conn = Make<QPushButton>(Ctl::ConnBtn, connection);
  conn->setText(QStringLiteral("Connect"));
  conn->setIcon(style()->standardIcon(QStyle::SP_DialogApplyButton));
  stack->addWidget(disconn, 0, 0);
  stack->addWidget(conn, 0, 0);
  conn->raise();
  connection->setMinimumWidth(ButtonWidth);
  conn->installEventFilter(this);
  disconn->installEventFilter(this);

  auto* connect = Make<QPushButton>(Ctl::ConnectBtn, panel);
  connect->setText(QStringLiteral("Parameters"));
  connect->setIcon(style()->standardIcon(QStyle::SP_FileDialogInfoView));
  connect->setMinimumWidth(ButtonWidth);
  SetStationEnabled(Ctl::ConnectBtn, false);

  auto* exit = Make<QPushButton>(Ctl::BitBtn4, panel);
  exit->setText(QStringLiteral("Exit"));
  exit->setIcon(style()->standardIcon(QStyle::SP_DialogCancelButton));
  exit->setMinimumWidth(ButtonWidth / 2);

  port->addWidget(label43);
  port->addWidget(combo);
  port->addSpacing(12);
  port->addWidget(connection);
  port->addWidget(connect);
  port->addStretch(1);
  port->addWidget(exit);
  row->addLayout(port, 1);
}

QLineEdit* TMainForm::ParamEdit(Ctl control, QWidget* parent) {
  auto* edit = Make<QLineEdit>(control, parent);
  edit->setFixedWidth(ParamEditWidth);
  if (HasKeyFilter(control)) edit->installEventFilter(this);
  return edit;
}

void TMainForm::BuildParametersPage(QWidget* page) {
  auto* pageLayout = new QVBoxLayout(page);
  pageLayout->setContentsMargins(0, 0, 0, 0);
  auto* panel1 = Make<QFrame>(Ctl::Panel1, page);
  pageLayout->addWidget(panel1);
  auto* grid = new QGridLayout(panel1);
  grid->setHorizontalSpacing(8);
  grid->setVerticalSpacing(6);
  constexpr int LabelColumn = 0;
  constexpr int EditColumn = 1;
  constexpr int SecondEditColumn = 2;
  constexpr int ButtonColumn = 4;
  grid->setColumnMinimumWidth(3, 40);
  grid->setColumnStretch(5, 1);

  struct Row {
    Ctl label;
    QString caption;
    Ctl edit;
    std::optional<Ctl> second;
    bool shown;
  };
  const auto block = [&](int channel, int firstRow) {
    const bool one = channel == 1;
    const QColor colour = one ? Navy : Green;
    const Row rows[] = {
        {one ? Ctl::Label13 : Ctl::Label2, Padded("Initial position of scanning"),
         one ? Ctl::BeginPosEdit : Ctl::BeginPosEdit2, std::nullopt, true},
        {one ? Ctl::Label14 : Ctl::Label3, Padded("Final position of scanning"),
         one ? Ctl::EndPosEdit : Ctl::EndPosEdit2, std::nullopt, true},
        {one ? Ctl::Label32 : Ctl::Label7, Padded("Time of microstep"),
         one ? Ctl::TimeMEdit : Ctl::TimeMEdit2, one ? Ctl::TimeMEdit1 : Ctl::TimeMEdit21, true},
        {one ? Ctl::Label15 : Ctl::Label4, QStringLiteral("DIskr"),
         one ? Ctl::DiskrEdit : Ctl::DiskrEdit2, std::nullopt, true},
        {one ? Ctl::Label34 : Ctl::Label8, Padded("Corner of turn (Angle)"),
         one ? Ctl::AngleEdit : Ctl::AngleEdit2, std::nullopt, false},
        {one ? Ctl::Label16 : Ctl::Label6, QStringLiteral("XBeg"),
         one ? Ctl::XBegEdit : Ctl::XBegEdit2, std::nullopt, false},
        {one ? Ctl::Label28 : Ctl::Label29, QStringLiteral("YBeg"),
         one ? Ctl::YBegEdit : Ctl::YBegEdit2, std::nullopt, false},
        {one ? Ctl::Label66 : Ctl::Label9, Padded("Количество циклов измерения"),
         one ? Ctl::CyclEdit : Ctl::CyclEdit2, std::nullopt, false},
    };
    auto* heading = Make<QLabel>(one ? Ctl::Label12 : Ctl::Label1, panel1);
    heading->setText(one ? QStringLiteral("Parameters 1:") : QStringLiteral("Parameters 2:"));
    Colour(heading, colour);
    Bold(heading);
    grid->addWidget(heading, firstRow, LabelColumn);
    int r = firstRow + 1;
    for (const Row& row : rows) {
      auto* label = Make<QLabel>(row.label, panel1);
      label->setText(row.caption);
      Colour(label, colour);
      Monospace(label);
      QLineEdit* edit = ParamEdit(row.edit, panel1);
      grid->addWidget(label, r, LabelColumn);
      grid->addWidget(edit, r, EditColumn);
      QLineEdit* second = row.second ? ParamEdit(*row.second, panel1) : nullptr;
      if (second) grid->addWidget(second, r, SecondEditColumn);
      // The hidden rows stay hidden; their edits still hold and convert their values.
      if (!row.shown) {
        label->setVisible(false);
        edit->setVisible(false);
      }
      ++r;
    }
    return r;
  };

  int next = block(1, 0);
  auto* panel4 = Make<QFrame>(Ctl::Panel4, panel1);
  panel4->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  grid->addWidget(panel4, next++, 0, 1, 6);
  const int buttonRows = next - 1;
  next = block(2, next);
  auto* panel3 = Make<QFrame>(Ctl::Panel3, panel1);
  panel3->setFrameStyle(QFrame::HLine | QFrame::Sunken);
  grid->addWidget(panel3, next++, 0, 1, 6);
  grid->setRowStretch(next, 1);

  // The button column beside channel 1's rows.
  auto* buttons = new QVBoxLayout;
  const struct {
    Ctl button;
    const char* caption;
    bool shown;
  } column[] = {
      {Ctl::ReadBtn, "Read parameters", true},   {Ctl::WriteBtn, "Write parameters", true},
      {Ctl::RestoreBtn, "Load default", true},   {Ctl::WriteFlashBtn, "Write to Flash", false},
      {Ctl::BitBtn3, "Write to factory", false},
  };
  for (const auto& entry : column) {
    auto* button = Make<QPushButton>(entry.button, panel1);
    button->setText(QString::fromLatin1(entry.caption));
    button->setMinimumWidth(ButtonWidth);
    button->setVisible(entry.shown);
    buttons->addWidget(button);
  }
  buttons->addStretch(1);
  grid->addLayout(buttons, 1, ButtonColumn, buttonRows - 1, 1);
}

void TMainForm::BuildProfilePage(QWidget* page) {
  auto* row = new QHBoxLayout(page);
  row->setContentsMargins(0, 0, 0, 0);
  row->setSpacing(0);
  auto* panel2 = Make<QFrame>(Ctl::Panel2, page);
  panel2->setFrameStyle(QFrame::Panel | QFrame::Raised);
  panel2->setFixedWidth(Panel2Width);
  charts_ = new ProfileCharts(page);
  Register(Ctl::Panel5, charts_);
  Register(Ctl::Chart1, charts_->Chart(1));
  Register(Ctl::Chart2, charts_->Chart(2));
  row->addWidget(panel2);
  row->addWidget(charts_, 1);

  auto* column = new QVBoxLayout(panel2);
  column->setSpacing(4);
  const auto heading = [&](Ctl control, const char* caption) {
    auto* label = Make<QLabel>(control, panel2);
    label->setText(QString::fromLatin1(caption));
    Colour(label, Navy);
    Bold(label);
    column->addWidget(label);
  };
  const auto result = [&](Ctl name, const char* caption, Ctl edit, Ctl unit) {
    auto* line = new QHBoxLayout;
    auto* label = Make<QLabel>(name, panel2);
    label->setText(QString::fromLatin1(caption));
    label->setFixedWidth(40);
    auto* value = Make<QLineEdit>(edit, panel2);
    value->setFixedWidth(ResultEditWidth);
    auto* micron = Make<QLabel>(unit, panel2);
    micron->setText(QStringLiteral("micron"));
    line->addWidget(label);
    line->addWidget(value);
    line->addWidget(micron);
    line->addStretch(1);
    column->addLayout(line);
  };
  const auto check = [&](Ctl control, const char* caption, bool checked, bool shown) {
    auto* box = Make<QCheckBox>(control, panel2);
    box->setText(QString::fromLatin1(caption));
    box->setChecked(checked);
    box->setVisible(shown);
    column->addWidget(box);
    return box;
  };
  const auto button = [&](Ctl control, const char* caption, bool shown,
                          std::optional<QStyle::StandardPixmap> icon = std::nullopt) {
    auto* b = Make<QPushButton>(control, panel2);
    b->setText(QString::fromLatin1(caption));
    b->setVisible(shown);
    if (icon) b->setIcon(style()->standardIcon(*icon));
    column->addWidget(b);
    return b;
  };
  const auto hiddenSetting = [&](Ctl box, const char* caption, bool checked, Ctl edit,
                                 const char* text) {
    check(box, caption, checked, false);
    auto* value = Make<QLineEdit>(edit, panel2);
    value->setText(QString::fromLatin1(text));
    value->setVisible(false);
  };

  heading(Ctl::Label19, "Disk1");
  result(Ctl::Label10, "Min", Ctl::dxEdit1, Ctl::Label21);
  result(Ctl::Label11, "Max", Ctl::dxEdit2, Ctl::Label22);
  column->addSpacing(8);
  heading(Ctl::Label20, "Disk2");
  result(Ctl::Label17, "Min", Ctl::dxEdit3, Ctl::Label25);
  result(Ctl::Label18, "Max", Ctl::dxEdit4, Ctl::Label26);
  column->addSpacing(8);
  check(Ctl::CheckBox1, "Calibr table", true, true);
  button(Ctl::cxButton2, "Calibration", true, QStyle::SP_BrowserReload);
  button(Ctl::cxButton3, "Save Table", true);
  SetStationEnabled(Ctl::cxButton3, false);  // only a calibration run enables it
  button(Ctl::cxButton4, "Read Table", true);
  // Fixed settings of the processing: median over 51 points, no other smoothing.
  hiddenSetting(Ctl::CheckBox2, "Smooth Line", false, Ctl::dxEdit6, "9");
  hiddenSetting(Ctl::CheckBox5, "Smooth Recurs", false, Ctl::dxEdit7, "9");
  hiddenSetting(Ctl::CheckBox3, "Mediana", true, Ctl::dxEdit5, "51");
  check(Ctl::CheckBox4, "Auto angle", true, true);
  check(Ctl::CheckBox6, "CheckBox6", true, false);
  button(Ctl::cxButton5, "Re-Calculate", true, QStyle::SP_ArrowRight);
  button(Ctl::cxButton1, "Calculate", false, QStyle::SP_ArrowRight);
  check(Ctl::EtCheckBox, "Compare", false, true);
  auto* label31 = Make<QLabel>(Ctl::Label31, panel2);
  label31->setText(QStringLiteral("Reference"));
  label31->setVisible(false);
  column->addWidget(label31);
  auto* etal = Make<QComboBox>(Ctl::EtalComboBox, panel2);
  etal->setEditable(true);
  etal->setToolTip(QStringLiteral("Профиль бандажа локомотива  ГОСТ 11018-87 "));
  etal->setVisible(false);
  SetStationEnabled(Ctl::EtalComboBox, false);
  column->addWidget(etal);
  column->addSpacing(8);
  button(Ctl::Button6, "Measurement", true);
  button(Ctl::cxButton8, "Save", false);
  column->addStretch(1);
}

void TMainForm::WireEvents() {
  for (const ButtonWiring& wiring : ScannerButtons) {
    auto* button = ControlAs<QPushButton>(wiring.button);
    const Handler handler = wiring.handler;
    connect(button, &QPushButton::clicked, this, [this, handler] { RunOnScanner(handler); });
  }
  connect(ControlAs<QPushButton>(Ctl::BitBtn4), &QPushButton::clicked, this,
          [this] { RunHere([this] { BitBtn4_Click(*station_, *window_); }); });
  connect(ControlAs<QCheckBox>(Ctl::EtCheckBox), &QCheckBox::clicked, this,
          [this] { RunHere([this] { EtCheckBoxClick(*station_, *window_); }); });

  // The port choice: a list entry chosen, or text typed into the combo box's edit field.
  auto* combo = ControlAs<QComboBox>(Ctl::ComboBox1);
  connect(combo, &QComboBox::activated, this, [this] { RunOnScanner(ComboBox1Change); });
  connect(combo->lineEdit(), &QLineEdit::textEdited, this,
          [this] { RunOnScanner(ComboBox1Change); });
  connect(ControlAs<QComboBox>(Ctl::EtalComboBox), &QComboBox::activated, this,
          [this] { RunOnScanner(EtalComboBoxChange); });

  for (int i = 0; i < ControlCount; ++i) {
    const Ctl control = static_cast<Ctl>(i);
    if (!ParamEditFor(control)) continue;
    connect(ControlAs<QLineEdit>(control), &QLineEdit::textChanged, this,
            [this, control](const QString& text) {
              RunHere([&] { ParamEditChange(*station_, control, text.toStdString()); });
            });
  }

  connect(StopBtn, &QPushButton::clicked, this, [this] { scanner_->Cancel(); });
}

bool TMainForm::Busy() const {
  return scanner_ && scanner_->Busy();
}

void TMainForm::SetStationEnabled(Ctl control, bool enabled) {
  enabled_[static_cast<int>(control)] = enabled;
  const bool held = Busy() && IsGuarded(control);
  Control(control)->setEnabled(enabled && !held);
}

void TMainForm::SetGuard(bool busy) {
  for (Ctl control : GuardedControls) {
    Control(control)->setEnabled(!busy && enabled_[static_cast<int>(control)]);
  }
  StopBtn->setEnabled(busy);
  if (busy) {
    redrawTick_->start();
  } else {
    redrawTick_->stop();
  }
}

void TMainForm::RunOnScanner(Handler handler) {
  if (Busy() || closing_) return;
  const bool started =
      scanner_->Run([this, handler] { handler(*station_, *window_); }, [this] { HandlerEnded(); });
  if (started) SetGuard(true);
}

void TMainForm::HandlerEnded() {
  window_->Flush();
  SetGuard(false);
  if (closing_) ReleasePortAndClose();
}

void TMainForm::ShowApplicationError(const std::string& message) {
  window_->MessageBox(ErrorDisplayText(message), window_->ApplicationTitle(), MsgIcon::Error);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (portReleased_) {
    event->accept();
    return;
  }
  // The port is released on the scanner thread once the running handler has ended; the
  // window keeps repainting meanwhile and closes afterwards.
  event->ignore();
  if (closing_) return;
  closing_ = true;
  window_->SetClosing();
  if (Busy()) {
    scanner_->Cancel();
  } else {
    ReleasePortAndClose();
  }
}

void TMainForm::ReleasePortAndClose() {
  if (releasingPort_) return;
  releasingPort_ = true;
  SetGuard(true);
  scanner_->Run([this] { FormClose(*station_, *window_); },
                [this] {
                  portReleased_ = true;
                  close();
                });
}

QString TMainForm::ConnectionTooltip() const {
  // The buttons' captions always carry ComNumber; before the first open it is 1.
  static const QRegularExpression number(QStringLiteral("\\[COM(\\d+):\\]"));
  const QRegularExpressionMatch match = number.match(ControlAs<QPushButton>(Ctl::ConnBtn)->text());
  const QString port =
      QStringLiteral("COM") + (match.hasMatch() ? match.captured(1) : QStringLiteral("1"));
  return port + QStringLiteral(" → ") + QString::fromStdString(DevicePathFor(port.toStdString()));
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ToolTip &&
      (watched == Control(Ctl::ConnBtn) || watched == Control(Ctl::DisconnBtn))) {
    // Looked up when shown: an alias made after start-up counts.
    static_cast<QWidget*>(watched)->setToolTip(ConnectionTooltip());
    return false;
  }
  if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched) != nullptr) {
    // XBegEditKeyPress and AngleEditKeyPress: typed characters other than digits and "-"
    // are discarded with a beep. Keys that insert nothing (arrows, Delete, shortcuts such
    // as the paste key) pass: pasted text is not filtered.
    auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    const bool shortcut =
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!typed.isEmpty() && !shortcut) {
      const char32_t character = typed.toUcs4().value(0);
      const bool inserts = character >= U' ' && character != U'\x7f';
      if (inserts && !KeyFilterPasses(character)) {
        window_->Beep();
        return true;
      }
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TMainForm::SetControlText(Ctl control, const std::string& text) {
  QWidget* widget = Control(control);
  const QString value = QString::fromStdString(text);
  const QSignalBlocker blocker(widget);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(value);
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(value);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    button->setText(value);
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    combo->setEditText(value);
  } else {
    widget->setWindowTitle(value);
  }
}

std::string TMainForm::ControlText(Ctl control) const {
  QWidget* widget = Control(control);
  QString value;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    value = edit->text();
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    value = label->text();
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    value = button->text();
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    value = combo->currentText();
  }
  return value.toStdString();
}

}  // namespace qd718
