#include "cli/console_window.h"

#include "station/start_state.h"

namespace qd718::cli {

namespace {

constexpr int FirstComEntry = 0;  // "COM1" is the combo box's selected entry at start

}  // namespace

ConsoleWindow::ConsoleWindow(std::FILE* messages) : messages_(messages), gauge_(messages) {
  // The main window as it starts.
  for (int i = 0; i < ControlCount; ++i) {
    const auto control = static_cast<Ctl>(i);
    visible_[control] = true;
    enabled_[control] = true;
  }
  for (const auto& [control, startText] : StartTexts) text_[control] = startText;
  for (Ctl box : StartChecked) checked_[box] = true;
  for (Ctl hidden : StartHidden) visible_[hidden] = false;
  for (Ctl disabled : StartDisabled) enabled_[disabled] = false;
  applicationTitle_ = std::string(StartTitle);
  caption_ = std::string(StartTitle);
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
