#pragma once

// The station window on a virtual scanner: TMainForm with a LoopbackLink injected into its
// scanner thread, boxes answered by the test and recorded.

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <vector>

#include "sim/virtual_scanner.h"
#include "support/fake_window.h"
#include "support/loopback_link.h"
#include "ui/main_form.h"
#include "ui/qt_window.h"

namespace qd718::test {

// Long enough for any handler on the virtual clock; only a fault makes a test wait this long.
inline constexpr int HandlerLimitMs = 10000;

class WindowFixture : public ::testing::Test {
 protected:
  void SetUp() override { Start({}); }

  void Start(sim::ScannerOptions options) {
    form.reset();
    scanner = std::make_unique<sim::VirtualScanner>(std::move(options));
    link = std::make_unique<LoopbackLink>(*scanner);
    form = std::make_unique<TMainForm>(link.get());
    form->GetWindow().hooks.messageBox = [this](const std::string& text, const std::string& title,
                                                MsgIcon icon) {
      boxes.push_back({text, title, icon});
      if (onBox) onBox();
    };
  }

  void TearDown() override { form.reset(); }

  template <typename T>
  T* Get(Ctl control) {
    return form->ControlAs<T>(control);
  }

  // Waits until the scanner thread's handler has ended and its drawing reached the window.
  void WaitIdle() {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !form->Busy(); }, HandlerLimitMs));
    QCoreApplication::processEvents();
  }

  Station& station() { return form->GetStation(); }

  std::unique_ptr<sim::VirtualScanner> scanner;
  std::unique_ptr<LoopbackLink> link;
  std::unique_ptr<TMainForm> form;
  std::vector<RecordedBox> boxes;
  std::function<void()> onBox;  // runs inside the box, while the handler waits for it
};

}  // namespace qd718::test
