#pragma once

// The "Other COM port" dialog: asks for a port number beyond the combo box's list. Created
// hidden at start-up and kept for the whole run, so it offers the last number again.

#include <QDialog>
#include <optional>

class QFrame;
class QLabel;
class QPushButton;
class QSpinBox;

namespace qd718 {

inline constexpr int ComPortMin = 1;
inline constexpr int ComPortMax = 1000;

class TOKBottomDlg : public QDialog {
  Q_OBJECT

 public:
  explicit TOKBottomDlg(QWidget* parent = nullptr);

  // Shows the dialog modally: the spin edit's text when OK closed it, nothing when Cancel,
  // Escape or the close box did.
  std::optional<QString> Ask();

  QSpinBox* SpinEdit() const { return CSpinEdit1; }

 protected:
  void showEvent(QShowEvent* event) override;  // FormShow

 private:
  QFrame* Bevel1;
  QLabel* Label1;
  QSpinBox* CSpinEdit1;
  QPushButton* OKBtn;
  QPushButton* CancelBtn;
  QString okText_;
};

}  // namespace qd718
