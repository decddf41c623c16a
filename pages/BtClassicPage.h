// What the three pages of the BT classic variant share (the warning, options
// and configurations pages): a title in a large heavy font, Next and, where
// the template has one, Back, and check boxes that all start checked and
// whose states Next stores into the configuration's btOptions.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "shell/IPage.h"
#include "ui/Font.h"

class BtClassicPage : public IPage {
 public:
  // A check box of the page and the index of btOptions it is stored in.
  struct OptionCheckBox {
    int controlId = 0;
    std::size_t option = 0;
  };
  // The page's template, its title control, its text bindings (control and
  // key, bound in this order) and its check boxes.
  struct Layout {
    int templateId = 0;
    int titleId = 0;
    std::vector<std::pair<int, std::string>> texts;
    std::vector<OptionCheckBox> checkBoxes;
  };

  BtClassicPage(const PageContext& context, ui::Dialog* parent, Layout layout);

  void OnNavigateToPage() override {}
  void SetButtonCallback(ButtonCallback callback) override { buttonCallback = std::move(callback); }
  // Stored only: these pages report no errors.
  void SetErrorCallback(ErrorCallback callback) override { errorCallback = std::move(callback); }

 protected:
  // Checks every check box, binds and shows the texts, enlarges the title.
  bool OnInitDialog() override;
  // Next stores the check boxes, then moves on; Back stores nothing, so
  // changes made on the page are dropped (the boxes still show them).
  void OnCommand(int controlId, int notifyCode) override;

 private:
  void StoreOptions();

  Layout layout;
  ButtonCallback buttonCallback;
  ErrorCallback errorCallback;
  // Kept for the life of the page: the title control draws with it.
  ui::Font titleFont;
};
