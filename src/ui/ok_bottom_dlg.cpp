#include "ui/ok_bottom_dlg.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>

namespace qd718 {

namespace {

constexpr QSize ClientSize{280, 124};
constexpr QRect BevelRect{8, 8, 265, 73};
constexpr QPoint LabelPos{16, 36};
constexpr QRect SpinRect{144, 32, 97, 22};
constexpr QRect OkRect{71, 92, 75, 25};
constexpr QRect CancelRect{151, 92, 75, 25};

}  // namespace

TOKBottomDlg::TOKBottomDlg(QWidget* parent)
    : QDialog(parent),
      Bevel1(new QFrame(this)),
      Label1(new QLabel(this)),
      CSpinEdit1(new QSpinBox(this)),
      OKBtn(new QPushButton(QStringLiteral("OK"), this)),
      CancelBtn(new QPushButton(QStringLiteral("Cancel"), this)) {
  setObjectName(QStringLiteral("OKBottomDlg"));
  setWindowTitle(QStringLiteral("Other COM port"));
  setFixedSize(ClientSize);  // a fixed dialog border
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  Bevel1->setObjectName(QStringLiteral("Bevel1"));
  Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
  Bevel1->setGeometry(BevelRect);

  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setText(QStringLiteral("Select COM port"));
  Label1->move(LabelPos);
  Label1->adjustSize();

  CSpinEdit1->setObjectName(QStringLiteral("CSpinEdit1"));
  CSpinEdit1->setRange(ComPortMin, ComPortMax);
  CSpinEdit1->setValue(ComPortMin);
  CSpinEdit1->setGeometry(SpinRect);

  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(OkRect);
  OKBtn->setDefault(true);
  OKBtn->setAutoDefault(true);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  CancelBtn->setGeometry(CancelRect);
  CancelBtn->setAutoDefault(false);

  connect(OKBtn, &QPushButton::clicked, this, [this] {
    // The text as it stands at the click: the spin box would put its last valid value back
    // into an emptied field once it loses the focus.
    okText_ = CSpinEdit1->findChild<QLineEdit*>()->text();
    accept();
  });
  // Escape rejects the dialog, as the cancel button does.
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

std::optional<QString> TOKBottomDlg::Ask() {
  if (QScreen* shownOn = screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(shownOn->availableGeometry().center());
    move(frame.topLeft());
  }
  if (exec() != QDialog::Accepted) return std::nullopt;
  // The text as the engineer left it; the station converts it itself.
  return okText_;
}

void TOKBottomDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CSpinEdit1->setFocus();
  CSpinEdit1->selectAll();
}

}  // namespace qd718
