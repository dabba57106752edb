#include "cli/console_window.h"

namespace qd718::cli {

namespace {

constexpr const char* StartTitle = "QD718";
constexpr int FirstComEntry = 0;  // "COM1" is the combo box's selected entry at start

}  // namespace

ConsoleWindow::ConsoleWindow(std::FILE* messages) : messages_(messages), gauge_(messages) {
  // The main window as it starts: every control shown and enabled except those below.
  for (int i = 0; i < ControlCount; ++i) {
    const auto control = static_cast<Ctl>(i);
    visible_[control] = true;
    enabled_[control] = true;
  }
  for (Ctl label : {Ctl::TipLbl, Ctl::ModifLbl, Ctl::SerLbl, Ctl::DiapazLbl}) text_[label] = "non";
  text_[Ctl::ComboBox1] = "COM1";
  text_[Ctl::ConnBtn] = "Connect";
  text_[Ctl::DisconnBtn] = "DisconnBtn";
  text_[Ctl::ConnectBtn] = "Parameters";
  text_[Ctl::dxEdit5] = "51";
  text_[Ctl::dxEdit6] = "9";
  text_[Ctl::dxEdit7] = "9";
  for (Ctl box : {Ctl::CheckBox1, Ctl::CheckBox3, Ctl::CheckBox4, Ctl::CheckBox6})
    checked_[box] = true;
  for (Ctl hidden :
       {Ctl::DisconnBtn, Ctl::WriteFlashBtn, Ctl::BitBtn3,    Ctl::Label34,      Ctl::Label8,
        Ctl::Label16,    Ctl::Label6,        Ctl::Label28,    Ctl::Label29,      Ctl::Label66,
        Ctl::Label9,     Ctl::AngleEdit,     Ctl::AngleEdit2, Ctl::XBegEdit,     Ctl::XBegEdit2,
        Ctl::YBegEdit,   Ctl::YBegEdit2,     Ctl::CyclEdit,   Ctl::CyclEdit2,    Ctl::CheckBox2,
        Ctl::dxEdit6,    Ctl::CheckBox5,     Ctl::dxEdit7,    Ctl::CheckBox3,    Ctl::dxEdit5,
        Ctl::CheckBox6,  Ctl::cxButton1,     Ctl::Label31,    Ctl::EtalComboBox, Ctl::cxButton8}) {
    visible_[hidden] = false;
  }
  for (Ctl disabled : {Ctl::ConnectBtn, Ctl::cxButton3, Ctl::EtalComboBox})
    enabled_[disabled] = false;
  applicationTitle_ = StartTitle;
  caption_ = StartTitle;
}

std::string ConsoleWindow::Text(Ctl control) {
  const auto found = text_.find(control);
  return found == text_.end() ? std::string() : found->second;
}

int ConsoleWindow::ItemIndex(Ctl control) {
  return control == Ctl::ComboBox1 ? FirstComEntry : -1;
}

void ConsoleWindow::AddPoint(Ser series, double x, double y, const std::string& label,
                             Color color) {
  series_[series].push_back(SeriesPoint{x, y, label, color});
}

void ConsoleWindow::MessageBox(const std::string& text, const std::string& title, MsgIcon icon) {
  Say(title + " " + OneLine(text));
  outcome_.NoteBox(text, title, icon);
}

std::optional<std::string> ConsoleWindow::SaveFileDialog(const SaveDialogSettings& /*settings*/) {
  std::optional<std::string> answer = saveAnswer_;
  saveAnswer_.reset();
  return answer;
}

void ConsoleWindow::Say(const std::string& line) {
  gauge_.Clear();
  std::fprintf(messages_, "%s\n", line.c_str());
  std::fflush(messages_);
}

std::string OneLine(const std::string& text) {
  std::string line;
  line.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' || c == '\n') {
      // CR LF is one line break, hence one space.
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      line += ' ';
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace qd718::cli
