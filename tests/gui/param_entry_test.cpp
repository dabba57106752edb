// Parameter entry through the real edits: typing, deleting and pasting convert at once into
// the channel's scan parameters; the key filters beep and discard; conversion errors reach
// the error display and leave the parameter as it was.

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QLocale>

#include "params/edit_conversion.h"
#include "ui_fixture.h"

namespace qd718::test {
namespace {

enum class Act { Type, Backspace, Paste, ReplaceAll };

struct Step {
  Act act;
  QString text;
  double stored;      // the parameter afterwards
  const char* box;    // the error display's text, or nullptr for none
  bool beep;          // the key filter refused the key
  const char* shown;  // the edit's text afterwards, or nullptr: not checked
};

struct EntryCase {
  const char* name;
  Ctl edit;
  std::vector<Step> steps;
};

const QString Point = QLocale().decimalPoint();

std::vector<EntryCase> EntryCases() {
  return {
      {"DigitsTypedAndDeleted",
       Ctl::BeginPosEdit,
       {{Act::Type, "1", 1, nullptr, false, "1"},
        {Act::Type, "2", 12, nullptr, false, "12"},
        {Act::Type, "3", 123, nullptr, false, "123"},
        {Act::Backspace, "", 12, nullptr, false, "12"},
        {Act::Backspace, "", 1, nullptr, false, "1"},
        {Act::Backspace, "", 0, nullptr, false, ""}}},
      {"MinusAloneWithoutFilterIsAConversionError",
       Ctl::BeginPosEdit,
       {{Act::Paste, "42", 42, nullptr, false, "42"},
        {Act::ReplaceAll, "-", 42, "'-' is not a valid integer value.", false, "-"},
        {Act::Type, "5", -5, nullptr, false, "-5"}}},
      {"MinusAloneInASixteenBitFieldStoresZero",
       Ctl::XBegEdit2,
       {{Act::Type, "-", 0, nullptr, false, "-"},
        {Act::Type, "4", -4, nullptr, false, "-4"},
        {Act::Type, "0", -40, nullptr, false, "-40"}}},
      {"SixteenBitFieldKeepsTheLowBits",
       Ctl::XBegEdit,
       {{Act::Paste, "70000", 4464, nullptr, false, "70000"}}},
      {"ThirtyTwoBitFieldKeepsTheWholeNumber",
       Ctl::BeginPosEdit,
       {{Act::Type, "70000", 70000, nullptr, false, "70000"}}},
      {"EmptiedEditStoresZero",
       Ctl::TimeMEdit21,
       {{Act::Type, "5", 5, nullptr, false, "5"},
        {Act::Backspace, "", 0, nullptr, false, ""},
        {Act::Type, "12", 12, nullptr, false, "12"}}},
      {"FilteredDiskrRefusesLettersAndTheSeparator",
       Ctl::DiskrEdit,
       {{Act::Type, "7", 7, nullptr, false, "7"},
        {Act::Type, "a", 7, nullptr, true, "7"},
        {Act::Type, Point, 7, nullptr, true, "7"},
        {Act::ReplaceAll, "-", 7, "'-' is not a valid floating point value.", false, "-"}}},
      {"PastedLettersAreNotFiltered",
       Ctl::DiskrEdit,
       {{Act::Type, "9", 9, nullptr, false, "9"},
        {Act::ReplaceAll, "", 0, nullptr, false, ""},
        {Act::Paste, "abc", 0, "'abc' is not a valid floating point value.", false, "abc"}}},
      {"UnfilteredDiskrTakesFractions",
       Ctl::DiskrEdit2,
       {{Act::Paste, "12" + Point + "5", 12.5, nullptr, false, nullptr}}},
      {"AngleFilterDiscardsLetters",
       Ctl::AngleEdit,
       {{Act::Type, "-3", -3, nullptr, false, "-3"}, {Act::Type, "z", -3, nullptr, true, "-3"}}},
  };
}

double Stored(Station& station, Ctl edit) {
  const ParamEdit target = *ParamEditFor(edit);
  const TScanParams& p = station.ParamsOf(target.channel);
  switch (target.field) {
    case ParamField::BeginPos:
      return p.BeginPos;
    case ParamField::EndPos:
      return p.EndPos;
    case ParamField::TimeM:
      return p.TimeM;
    case ParamField::TimeM1:
      return p.TimeM1;
    case ParamField::Diskr:
      return p.Diskr;
    case ParamField::Angle:
      return p.Angle;
    case ParamField::XBeg:
      return p.XBeg;
    case ParamField::YBeg:
      return p.YBeg;
    case ParamField::Cycl:
      return p.Cycl;
  }
  return 0;
}

class ParamEntryTest : public WindowFixture, public ::testing::WithParamInterface<EntryCase> {};

TEST_P(ParamEntryTest, EditsFollowWhatIsTyped) {
  const EntryCase& entry = GetParam();
  auto* edit = Get<QLineEdit>(entry.edit);
  edit->setFocus();
  for (std::size_t i = 0; i < entry.steps.size(); ++i) {
    const Step& step = entry.steps[i];
    SCOPED_TRACE("step " + std::to_string(i + 1) + ": " + step.text.toStdString());
    const std::size_t boxesBefore = boxes.size();
    const int beepsBefore = form->GetWindow().Beeps();
    switch (step.act) {
      case Act::Type:
        QTest::keyClicks(edit, step.text);
        break;
      case Act::Backspace:
        QTest::keyClick(edit, Qt::Key_Backspace);
        break;
      case Act::ReplaceAll:
        edit->selectAll();
        if (step.text.isEmpty()) {
          QTest::keyClick(edit, Qt::Key_Delete);
        } else {
          QTest::keyClicks(edit, step.text);
        }
        break;
      case Act::Paste:
        QApplication::clipboard()->setText(step.text);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        break;
    }
    EXPECT_DOUBLE_EQ(Stored(station(), entry.edit), step.stored);
    EXPECT_EQ(form->GetWindow().Beeps() - beepsBefore, step.beep ? 1 : 0);
    if (step.shown) {
      EXPECT_EQ(edit->text().toStdString(), step.shown);
    }
    if (step.box) {
      ASSERT_EQ(boxes.size(), boxesBefore + 1);
      EXPECT_EQ(boxes.back().text, step.box);
      EXPECT_EQ(boxes.back().title, "QD718");
      EXPECT_EQ(boxes.back().icon, MsgIcon::Error);
    } else {
      EXPECT_EQ(boxes.size(), boxesBefore);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Cases, ParamEntryTest, ::testing::ValuesIn(EntryCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowFixture, ALetterTypedIntoTheUnfilteredDiskrShowsTheWholeText) {
  auto* edit = Get<QLineEdit>(Ctl::DiskrEdit2);
  QTest::keyClicks(edit, "12");
  QTest::keyClicks(edit, "x");
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "'12x' is not a valid floating point value.");
  EXPECT_DOUBLE_EQ(station().Params[1].Diskr, 12);
  EXPECT_EQ(form->GetWindow().Beeps(), 0);
  // The next change is handled afresh.
  QTest::keyClick(edit, Qt::Key_Backspace);
  EXPECT_DOUBLE_EQ(station().Params[1].Diskr, 12);
  EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(WindowFixture, ShortcutsAndEditingKeysPassTheFilter) {
  auto* edit = Get<QLineEdit>(Ctl::XBegEdit);
  QTest::keyClicks(edit, "123");
  QTest::keyClick(edit, Qt::Key_Left);
  QTest::keyClick(edit, Qt::Key_Delete);
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(edit->text(), "12");
  EXPECT_EQ(station().Params[0].XBeg, 12);
  EXPECT_EQ(form->GetWindow().Beeps(), 0);
}

}  // namespace
}  // namespace qd718::test
