// The main window at start-up, the "Other COM port" dialog and the window's own behaviour:
// every control's initial state, the error display, the connection buttons' tooltip.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>

#include "link/port_names.h"
#include "station/app_error.h"
#include "ui/ok_bottom_dlg.h"
#include "ui/profile_charts.h"
#include "ui_fixture.h"

namespace qd718::test {
namespace {

using MainFormTest = WindowFixture;

struct Initial {
  Ctl control;
  const char* text;  // caption or default text; nullptr: not checked
  bool shown;
  bool enabled;
};

// Every control that shows a caption or text, with its state at start.
const Initial InitialStates[] = {
    {Ctl::Label35, "Device type            :", true, true},
    {Ctl::TipLbl, "non", true, true},
    {Ctl::Label36, "Device modification    :", true, true},
    {Ctl::ModifLbl, "non", true, true},
    {Ctl::Label37, "Serial number          :", true, true},
    {Ctl::SerLbl, "non", true, true},
    {Ctl::Label38, "Measuring range        :", true, true},
    {Ctl::DiapazLbl, "non", true, true},
    {Ctl::Label43, "Number COM ", true, true},
    {Ctl::ComboBox1, "COM1", true, true},
    {Ctl::ConnBtn, "Connect", true, true},
    {Ctl::DisconnBtn, "DisconnBtn", false, true},
    {Ctl::ConnectBtn, "Parameters", true, false},
    {Ctl::BitBtn4, "Exit", true, true},
    {Ctl::Label12, "Parameters 1:", true, true},
    {Ctl::Label1, "Parameters 2:", true, true},
    {Ctl::Label15, "DIskr", true, true},
    {Ctl::Label4, "DIskr", true, true},
    {Ctl::Label34, nullptr, false, true},
    {Ctl::Label8, nullptr, false, true},
    {Ctl::Label16, "XBeg", false, true},
    {Ctl::Label6, "XBeg", false, true},
    {Ctl::Label28, "YBeg", false, true},
    {Ctl::Label29, "YBeg", false, true},
    {Ctl::Label66, nullptr, false, true},
    {Ctl::Label9, nullptr, false, true},
    {Ctl::BeginPosEdit, "", true, true},
    {Ctl::BeginPosEdit2, "", true, true},
    {Ctl::EndPosEdit, "", true, true},
    {Ctl::EndPosEdit2, "", true, true},
    {Ctl::TimeMEdit, "", true, true},
    {Ctl::TimeMEdit1, "", true, true},
    {Ctl::TimeMEdit2, "", true, true},
    {Ctl::TimeMEdit21, "", true, true},
    {Ctl::DiskrEdit, "", true, true},
    {Ctl::DiskrEdit2, "", true, true},
    {Ctl::AngleEdit, "", false, true},
    {Ctl::AngleEdit2, "", false, true},
    {Ctl::XBegEdit, "", false, true},
    {Ctl::XBegEdit2, "", false, true},
    {Ctl::YBegEdit, "", false, true},
    {Ctl::YBegEdit2, "", false, true},
    {Ctl::CyclEdit, "", false, true},
    {Ctl::CyclEdit2, "", false, true},
    {Ctl::ReadBtn, "Read parameters", true, true},
    {Ctl::WriteBtn, "Write parameters", true, true},
    {Ctl::RestoreBtn, "Load default", true, true},
    {Ctl::WriteFlashBtn, "Write to Flash", false, true},
    {Ctl::BitBtn3, "Write to factory", false, true},
    {Ctl::Label19, "Disk1", true, true},
    {Ctl::Label10, "Min", true, true},
    {Ctl::dxEdit1, "", true, true},
    {Ctl::Label21, "micron", true, true},
    {Ctl::Label11, "Max", true, true},
    {Ctl::dxEdit2, "", true, true},
    {Ctl::Label22, "micron", true, true},
    {Ctl::Label20, "Disk2", true, true},
    {Ctl::Label17, "Min", true, true},
    {Ctl::dxEdit3, "", true, true},
    {Ctl::Label25, "micron", true, true},
    {Ctl::Label18, "Max", true, true},
    {Ctl::dxEdit4, "", true, true},
    {Ctl::Label26, "micron", true, true},
    {Ctl::CheckBox1, "Calibr table", true, true},
    {Ctl::cxButton2, "Calibration", true, true},
    {Ctl::cxButton3, "Save Table", true, false},
    {Ctl::cxButton4, "Read Table", true, true},
    {Ctl::CheckBox2, "Smooth Line", false, true},
    {Ctl::dxEdit6, "9", false, true},
    {Ctl::CheckBox5, "Smooth Recurs", false, true},
    {Ctl::dxEdit7, "9", false, true},
    {Ctl::CheckBox3, "Mediana", false, true},
    {Ctl::dxEdit5, "51", false, true},
    {Ctl::CheckBox4, "Auto angle", true, true},
    {Ctl::CheckBox6, "CheckBox6", false, true},
    {Ctl::cxButton5, "Re-Calculate", true, true},
    {Ctl::cxButton1, "Calculate", false, true},
    {Ctl::EtCheckBox, "Compare", true, true},
    {Ctl::Label31, "Reference", false, true},
    {Ctl::EtalComboBox, "", false, false},
    {Ctl::Button6, "Measurement", true, true},
    {Ctl::cxButton8, "Save", false, true},
};

TEST_F(MainFormTest, EveryControlStartsWithItsCaptionAndState) {
  for (const Initial& c : InitialStates) {
    SCOPED_TRACE(std::string(ControlName(c.control)));
    QWidget* widget = form->Control(c.control);
    ASSERT_NE(widget, nullptr);
    if (c.text) {
      EXPECT_EQ(form->ControlText(c.control), c.text);
    }
    EXPECT_EQ(!widget->isHidden(), c.shown);
    EXPECT_EQ(widget->isEnabled(), c.enabled);
  }
}

TEST_F(MainFormTest, EveryNamedControlExistsUnderItsOwnName) {
  for (int i = 0; i < ControlCount; ++i) {
    const Ctl control = static_cast<Ctl>(i);
    QWidget* widget = form->Control(control);
    ASSERT_NE(widget, nullptr) << ControlName(control);
    EXPECT_EQ(widget->objectName().toStdString(), ControlName(control));
    EXPECT_EQ(form->findChild<QWidget*>(widget->objectName()), widget);
  }
}

TEST_F(MainFormTest, TheParameterRowsAreTheirChannelsColoursAndTheHeadingsBold) {
  const QColor navy(0, 0, 0x80);
  const QColor green(0, 0x80, 0);
  const auto colour = [&](Ctl c) {
    return form->Control(c)->palette().color(QPalette::WindowText);
  };
  for (Ctl c : {Ctl::Label12, Ctl::Label13, Ctl::Label14, Ctl::Label32, Ctl::Label15, Ctl::TipLbl,
                Ctl::SerLbl, Ctl::Label19, Ctl::Label20}) {
    EXPECT_EQ(colour(c), navy) << ControlName(c);
  }
  for (Ctl c : {Ctl::Label1, Ctl::Label2, Ctl::Label3, Ctl::Label7, Ctl::Label4}) {
    EXPECT_EQ(colour(c), green) << ControlName(c);
  }
  for (Ctl c : {Ctl::Label12, Ctl::Label1, Ctl::Label19, Ctl::Label20}) {
    EXPECT_TRUE(form->Control(c)->font().bold()) << ControlName(c);
  }
  // Padded captions line up their colons.
  const QString begin = Get<QLabel>(Ctl::Label13)->text();
  EXPECT_TRUE(begin.startsWith("Initial position of scanning"));
  EXPECT_EQ(begin.indexOf(':'), Get<QLabel>(Ctl::Label32)->text().indexOf(':'));
  EXPECT_EQ(begin.indexOf(':'), Get<QLabel>(Ctl::Label66)->text().indexOf(':'));
}

TEST_F(MainFormTest, StartsOnTheParametersPageWithAnEmptyGaugeAndEmptyCharts) {
  auto* pages = Get<QTabWidget>(Ctl::PageControl1);
  EXPECT_EQ(pages->tabPosition(), QTabWidget::South);
  EXPECT_EQ(pages->currentWidget(), form->Control(Ctl::TabSheet1));
  EXPECT_EQ(pages->tabText(0), "Parameters");
  EXPECT_EQ(pages->tabText(1), "Profile");

  QProgressBar& gauge = form->Gauge();
  EXPECT_EQ(gauge.minimum(), 0);
  EXPECT_EQ(gauge.maximum(), 100);
  EXPECT_EQ(gauge.value(), 0);
  EXPECT_EQ(gauge.text(), "0%");
  EXPECT_FALSE(form->StopButton().isEnabled());

  for (int i = 0; i < SeriesCount; ++i) EXPECT_TRUE(form->Charts().Points(Ser(i)).empty());

  auto* combo = Get<QComboBox>(Ctl::ComboBox1);
  EXPECT_TRUE(combo->isEditable());
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  EXPECT_EQ(items, (QStringList{"COM1", "COM2", "COM3", "COM4", "More COM"}));
  EXPECT_TRUE(Get<QCheckBox>(Ctl::CheckBox1)->isChecked());
  EXPECT_TRUE(Get<QCheckBox>(Ctl::CheckBox3)->isChecked());
  EXPECT_TRUE(Get<QCheckBox>(Ctl::CheckBox4)->isChecked());
  EXPECT_TRUE(Get<QCheckBox>(Ctl::CheckBox6)->isChecked());
  EXPECT_FALSE(Get<QCheckBox>(Ctl::CheckBox2)->isChecked());
  EXPECT_FALSE(Get<QCheckBox>(Ctl::CheckBox5)->isChecked());
  EXPECT_FALSE(Get<QCheckBox>(Ctl::EtCheckBox)->isChecked());
  EXPECT_EQ(Get<QComboBox>(Ctl::EtalComboBox)->count(), 0);
  EXPECT_EQ(Get<QComboBox>(Ctl::EtalComboBox)->toolTip(),
            "Профиль бандажа локомотива  ГОСТ 11018-87 ");

  EXPECT_EQ(form->windowTitle(), "QD718");
  EXPECT_EQ(form->GetWindow().ApplicationTitle(), "QD718");
  EXPECT_EQ(form->size(), QSize(1830, 892));
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);

  EXPECT_EQ(station().ComNumber, 1);
  EXPECT_EQ(station().ScanReplyBytes, 12288);
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainFormTest, StationTextDoesNotRunTheEditsChangeHandler) {
  station().Params[0].BeginPos = 11;
  form->GetWindow().SetText(Ctl::BeginPosEdit, "77");
  EXPECT_EQ(Get<QLineEdit>(Ctl::BeginPosEdit)->text(), "77");
  EXPECT_EQ(station().Params[0].BeginPos, 11);
}

TEST_F(MainFormTest, TheErrorDisplayAddsTheFullStopAndTakesTheApplicationTitle) {
  form->ShowApplicationError("'x' is not a valid integer value");
  form->GetWindow().SetApplicationTitle("QD718 4242");
  form->ShowApplicationError("Done.");
  form->ShowApplicationError("");
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[0].text, "'x' is not a valid integer value.");
  EXPECT_EQ(boxes[0].title, "QD718");
  EXPECT_EQ(boxes[0].icon, MsgIcon::Error);
  EXPECT_EQ(boxes[1].text, "Done.");
  EXPECT_EQ(boxes[1].title, "QD718 4242");
  EXPECT_EQ(boxes[2].text, "");
}

TEST_F(MainFormTest, TheRealErrorBoxCarriesTheErrorIconAndGoesAway) {
  form->GetWindow().hooks.messageBox = nullptr;
  QString shownText;
  QString shownTitle;
  QMessageBox::Icon shownIcon = QMessageBox::NoIcon;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    ASSERT_NE(box, nullptr);
    shownText = box->text();
    shownTitle = box->windowTitle();
    shownIcon = box->icon();
    box->accept();
  });
  form->ShowApplicationError("'-' is not a valid integer value");
  EXPECT_EQ(shownText, "'-' is not a valid integer value.");
  EXPECT_EQ(shownTitle, "QD718");
  EXPECT_EQ(shownIcon, QMessageBox::Critical);
}

TEST_F(MainFormTest, TheConnectButtonsTooltipNamesTheDevice) {
  QWidget* conn = form->Control(Ctl::ConnBtn);
  QHelpEvent help(QEvent::ToolTip, QPoint(1, 1), conn->mapToGlobal(QPoint(1, 1)));
  QCoreApplication::sendEvent(conn, &help);
  EXPECT_EQ(conn->toolTip().toStdString(), "COM1 → " + DevicePathFor("COM1"));

  form->GetWindow().SetText(Ctl::ConnBtn, "Connect [COM17:]");
  QCoreApplication::sendEvent(conn, &help);
  EXPECT_EQ(conn->toolTip().toStdString(), "COM17 → " + DevicePathFor("COM17"));
}

TEST(OKBottomDlgTest, LaidOutAsTheOtherComPortDialog) {
  TOKBottomDlg dialog;
  EXPECT_EQ(dialog.windowTitle(), "Other COM port");
  EXPECT_EQ(dialog.size(), QSize(280, 124));
  const auto geometry = [&](const char* name) {
    return dialog.findChild<QWidget*>(name)->geometry();
  };
  EXPECT_EQ(geometry("Bevel1"), QRect(8, 8, 265, 73));
  EXPECT_EQ(geometry("Label1").topLeft(), QPoint(16, 36));
  EXPECT_EQ(geometry("CSpinEdit1"), QRect(144, 32, 97, 22));
  EXPECT_EQ(geometry("OKBtn"), QRect(71, 92, 75, 25));
  EXPECT_EQ(geometry("CancelBtn"), QRect(151, 92, 75, 25));
  EXPECT_EQ(dialog.findChild<QLabel*>("Label1")->text(), "Select COM port");
  auto* ok = dialog.findChild<QPushButton*>("OKBtn");
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_TRUE(ok->isDefault());
  EXPECT_EQ(dialog.findChild<QPushButton*>("CancelBtn")->text(), "Cancel");
  QSpinBox* spin = dialog.SpinEdit();
  EXPECT_EQ(spin->minimum(), 1);
  EXPECT_EQ(spin->maximum(), 1000);
  EXPECT_EQ(spin->value(), 1);
}

TEST(OKBottomDlgTest, OkGivesTheNumberAndEscapeCancelsAndTheNumberStays) {
  TOKBottomDlg dialog;
  QTimer::singleShot(0, [&] {
    dialog.SpinEdit()->setValue(17);
    QTest::keyClick(&dialog, Qt::Key_Return);  // OK is the default button
  });
  EXPECT_EQ(dialog.Ask(), std::optional<QString>("17"));

  QTimer::singleShot(0, [&] { QTest::keyClick(&dialog, Qt::Key_Escape); });
  EXPECT_EQ(dialog.Ask(), std::nullopt);
  EXPECT_EQ(dialog.SpinEdit()->value(), 17);  // offered again next time

  QTimer::singleShot(0, [&] {
    dialog.SpinEdit()->findChild<QLineEdit*>()->clear();
    dialog.findChild<QPushButton*>("OKBtn")->click();
  });
  EXPECT_EQ(dialog.Ask(), std::optional<QString>(""));
}

}  // namespace
}  // namespace qd718::test
